#include <windows.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <utility>

#include "common/win32_handles.h"
#include "diagnostics/trace.h"
#include "workfiles/path_rules.h"
#include "workfiles/paths.h"
#include "workfiles/run_directory.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

// Deeper than anything an application makes on purpose; a bound keeps the stack small.
constexpr int kTreeDepthLimit = 32;

// The sweep of ended launchers' directories runs on a thread of its own while the VM
// starts; a fatal end stops it before the process goes.
struct Sweep {
    HANDLE thread = nullptr;
    volatile LONG stop = 0;
    std::string root, own;
};

Sweep& sweep() {
    static Sweep s;
    return s;
}

bool sweepStopped() { return InterlockedCompareExchange(&sweep().stop, 0, 0) != 0; }

HANDLE& ownMarker() {
    static HANDLE marker = INVALID_HANDLE_VALUE;
    return marker;
}

int64_t milliseconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart / (frequency.QuadPart / 1000);
}

// "." and "..", which every listing of a directory holds.
bool isDotEntry(const char* name) { return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])); }

// A read-only file or directory cannot be deleted until the attribute is cleared.
bool removeEntry(const std::string& path, DWORD attributes, bool directory) {
    if (directory ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str())) return true;
    if (!(attributes & FILE_ATTRIBUTE_READONLY)) return false;
    SetFileAttributesA(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    return directory ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
}

// Deletes what lies in `directory` until `deadline` (milliseconds()); false when the time
// ran out first, so that a directory of many thousand files is emptied over several
// starts instead of delaying one.
bool emptyTree(const std::string& directory, int depth, int64_t deadline) {
    WIN32_FIND_DATAA entry;
    UniqueFind listing(FindFirstFileA(childPath(directory, "*").c_str(), &entry));
    if (!listing) return true;
    do {
        if (milliseconds() >= deadline || sweepStopped()) return false;
        if (isDotEntry(entry.cFileName)) continue;
        std::string path = childPath(directory, entry.cFileName);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && depth < kTreeDepthLimit &&
                !emptyTree(path, depth + 1, deadline))
                return false;
            removeEntry(path, entry.dwFileAttributes, true);
        } else {
            removeEntry(path, entry.dwFileAttributes, false);
        }
    } while (FindNextFileA(listing.get(), &entry));
    return true;
}

// True when nothing but an entry named `kept` (none when null) is in `directory`.
bool holdsNothingBut(const std::string& directory, const char* kept) {
    WIN32_FIND_DATAA entry;
    UniqueFind listing(FindFirstFileA(childPath(directory, "*").c_str(), &entry));
    if (!listing) return false;
    do {
        if (!isDotEntry(entry.cFileName) && !(kept && std::strcmp(entry.cFileName, kept) == 0)) return false;
    } while (FindNextFileA(listing.get(), &entry));
    return true;
}

}  // namespace

uint32_t holdRunMarker(const std::string& directory) {
    // Read sharing only: nobody may delete it, or open it for deletion, while we live.
    HANDLE marker = CreateFileA(childPath(directory, kRunMarkerName).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE) return GetLastError();
    // Held until the process ends, which closes it; only a fatal end lets it go earlier.
    ownMarker() = marker;
    return 0;
}

void removeOwnRunDirectory() {
    stopRemovingEndedRunDirectories();
    const std::string& directory = tempDirPath();
    if (directory.empty()) return;
    if (ownMarker() != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(ownMarker(), INVALID_HANDLE_VALUE));
    removeEndedRunDirectory(directory, INT64_MAX);
}

bool removeEndedRunDirectory(const std::string& directory, int64_t deadline) {
    // For deletion and shared with nobody: this fails while the directory's launcher still
    // holds its marker, and while another start is removing the directory.
    UniqueFile marker(CreateFileA(childPath(directory, kRunMarkerName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!marker) {
        // No marker: a launcher that is only now creating its directory, or one whose
        // removal got as far as the marker and then failed (a handle of a virus scanner,
        // an Explorer window). Empty, and older than any start takes to make its marker,
        // it is the second, and is removed now.
        std::optional<int64_t> made = runDirectoryTime(directory.substr(directoryPart(directory).size()));
        return made && std::time(nullptr) - *made > kMarkerlessGraceSeconds && holdsNothingBut(directory, nullptr) &&
               RemoveDirectoryA(directory.c_str());
    }
    if (pathExists(childPath(directory, kKeepMarkName))) return false;
    if (!mayEmptyDirectory(directory) || !emptyTree(directory, 0, deadline)) return false;
    // The marker goes last, so that a directory which could not be emptied (a file still
    // open in another process) is tried again by a later start.
    if (!holdsNothingBut(directory, kRunMarkerName)) return false;
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(marker.get(), FileDispositionInfo, &disposition, sizeof disposition)) return false;
    marker.reset();
    return RemoveDirectoryA(directory.c_str());
}

void removeEndedRunDirectories(const std::string& root, const std::string& own) {
    const int64_t deadline = milliseconds() + kSweepMilliseconds;
    int removed = 0;
    WIN32_FIND_DATAA entry;
    UniqueFind listing(FindFirstFileA((root + "kst*_dir*").c_str(), &entry));
    if (!listing) return;
    do {
        std::string directory = root + entry.cFileName;
        bool plainDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                              !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (!plainDirectory || !isRunDirectoryName(entry.cFileName) || directory == own) continue;
        if (removeEndedRunDirectory(directory, deadline)) {
            trace("removed %s, left by a launcher that has ended", directory.c_str());
            ++removed;
        }
    } while (removed < kSweepDirectoryLimit && milliseconds() < deadline && !sweepStopped() &&
             FindNextFileA(listing.get(), &entry));
}

void startRemovingEndedRunDirectories(const std::string& root, const std::string& own) {
    Sweep& s = sweep();
    if (s.thread) return;
    s.root = root;
    s.own = own;
    auto body = [](void*) -> DWORD {
        removeEndedRunDirectories(sweep().root, sweep().own);
        return 0;
    };
    s.thread = CreateThread(nullptr, 0, body, nullptr, 0, nullptr);
    // Without a thread the start does the work itself, as before.
    if (!s.thread) removeEndedRunDirectories(root, own);
}

void stopRemovingEndedRunDirectories() {
    Sweep& s = sweep();
    if (!s.thread) return;
    InterlockedExchange(&s.stop, 1);
    // It stops between two files; the wait is bounded all the same, since a process that
    // ends takes the thread with it, and what it left keeps its marker for a later start.
    WaitForSingleObject(s.thread, 1000);
    CloseHandle(std::exchange(s.thread, nullptr));
    // The flag stops the sweep only; the removal of this run's own directory follows.
    InterlockedExchange(&s.stop, 0);
}

void emptyDirectoryTree(const std::string& directory) {
    if (mayEmptyDirectory(directory)) emptyTree(directory, 0, INT64_MAX);
}

}  // namespace kestro
