// Files carried inside the launcher: written into the temporary directory at start,
// removed with it when the launcher ends early.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// Extracts the included files; with createTempDir the temporary directory is made
// first. Returns 0, or the failure code of the first file that failed (1 read, 2 write).
int extractIncludedFiles(bool createTempDir);

// Deletes what lies in `directory`; with `descend`, sub-directories are emptied (one
// level) and removed too.
void emptyDirectory(const std::string& directory, bool descend);

// Where the data after the extracted files begins in the executable; 0 without files.
uint32_t unextractedPosition();

}  // namespace kestro
