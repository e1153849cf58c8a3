// The temporary root of the machine and this run's own temporary directory below it.
// The root always ends with a backslash, so that every name formed from it (unique
// files, the run's directory, the communication file) lies inside it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

// The temporary directory of this run, without a trailing backslash; empty when none
// was created.
std::string& tempDirPath();

// The system's temporary path, or the home directory when there is none, or the first
// writable fallback when the path, or its long form, holds characters the ANSI code page
// cannot show.
// Ends the process with message 1015 when no root is usable.
std::string findTempRoot();

// True when a sub-directory can be created in `directory` and then seen.
bool isWritableDirectory(std::string_view directory);

// A new unique file name below the temporary root; the system creates the empty file
// (unless its naming fails and a pseudo-random name is used instead).
std::string uniqueTempName();

// The communication file of process `processId`: the root, "kst_p", the id, ".tmp".
std::string processCommFilePath(uint32_t processId);

// Creates this run's temporary directory with its marker (run_directory.h), sets
// tempDirPath, deletes the unique file that reserved its name, and removes directories
// that ended launchers left in the root. Ends the process with internal error 7 after 10
// failed attempts.
void createTempDir();

}  // namespace kestro
