// The life of a run's temporary directory after its launcher. Each launcher holds a
// marker file in its directory open, without delete sharing, for as long as its process
// lives; a later start removes the directories whose marker it can open for deletion,
// which is possible only once their launcher has ended, however it ended (a normal end,
// a fatal report, killed). The VM of a normal end holds its class path archives open
// until the process is gone, so no launcher can remove its own directory then.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// The marker, held open by the directory's launcher; and the mark that the runtime
// library leaves when the application keeps its directory ("kestro.keepTempDir").
inline constexpr const char* kRunMarkerName = "kst_lock";
inline constexpr const char* kKeepMarkName = "kst_keep";

// One start removes at most this many directories, more than the one each start leaves,
// so that a backlog (after many crashed starts) drains over later starts while each stays
// quick; and it stops looking after this many milliseconds, whatever it met (a directory
// of thousands of files, many kept ones).
inline constexpr int kSweepDirectoryLimit = 3;
inline constexpr int64_t kSweepMilliseconds = 100;

// A directory without a marker is another launcher's that is being made, unless it is
// older than this: then it is one whose removal failed after its marker was gone.
inline constexpr int64_t kMarkerlessGraceSeconds = 60;

// Creates the marker in `directory` and holds it until the process ends. Returns 0, or
// the system's error code when it cannot be created.
uint32_t holdRunMarker(const std::string& directory);

// Removes this run's directory (tempDirPath) on the way out of a fatal end: the marker is
// let go first, then the directory is removed as an ended launcher's would be.
void removeOwnRunDirectory();

// Removes `directory` with everything in it when its launcher has ended and the
// application did not keep it, working until `deadline` (a QueryPerformanceCounter time
// in milliseconds; INT64_MAX for no limit): true when it is gone. Read-only files go
// too. One that cannot be emptied in time keeps its marker for a later start; one
// without a marker is removed only when it is empty and older than the grace above.
bool removeEndedRunDirectory(const std::string& directory, int64_t deadline);

// Removes the run directories of ended launchers in `root` (ending with a backslash),
// apart from `own`, within the limits above, until stopRemovingEndedRunDirectories.
// Failures are silent.
void removeEndedRunDirectories(const std::string& root, const std::string& own);

// Runs removeEndedRunDirectories on a thread of its own, so that the start goes on to
// the VM meanwhile (on this thread when none can be made); and stops it, waiting for it
// at most a second: before a fatal end removes its own directory, and before the
// process ends after the application.
void startRemovingEndedRunDirectories(const std::string& root, const std::string& own);
void stopRemovingEndedRunDirectories();

// Deletes what lies in `directory`, to any depth; a link or junction is removed itself,
// never followed. An empty path or one beginning with "." is left alone.
void emptyDirectoryTree(const std::string& directory);

}  // namespace kestro
