// Loading a Java runtime's own libraries (the VM library, the splash library) so that
// the DLLs they import by name come from the runtime or the system, never from the
// launcher's folder or the current directory, where anyone who can drop a file beside a
// downloaded application could plant one.
#pragma once

#include <windows.h>

#include <string>

namespace kestro {

// Takes the current directory out of the process's DLL search, for every later load
// (the runtime's and the application's). Called once, first thing at start.
void removeCurrentDirectoryFromDllSearch();

// Loads the library at `path`, which belongs to the runtime whose bin directory is
// `binDirectory`. The runtime's own C runtime libraries in that bin directory are
// loaded first by full path, so that the imports of every runtime library name them;
// the library's other imports are looked for in its own directory, then in the bin
// directory, then in the system's. On systems without that search (Windows 7 before
// its update), in the library's directory, the system's and PATH. Null on failure,
// with the system's error code as the last error.
HMODULE loadRuntimeLibrary(const std::string& path, const std::string& binDirectory);

}  // namespace kestro
