// Files carried inside the launcher: written into the temporary directory at start.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// Extracts the included files (keys 2002, 2003 and the records behind the block); with
// createDir the temporary directory is made first, and none is made without files.
// Returns 0, or the failure code of the first file that failed (1 read, 2 write). A file
// that cannot be created, or a name leading outside the directory, ends the process
// with internal error 11; a record cut inside its size field with the reader's report.
int extractIncludedFiles(bool createDir);

// Where the data after the extracted files begins in the executable: just after the
// last record read; 0 without files.
uint32_t unextractedPosition();

}  // namespace kestro
