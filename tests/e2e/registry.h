// Writing the test prefix's registry from end-to-end tests, through regedit and a .reg
// file, so that many keys cost one process.
#pragma once

#include <string>

#include "harness.h"

namespace kestro::e2e {

// Imports `lines`, written in the .reg format without its header line (for example
// "[HKEY_LOCAL_MACHINE\\SOFTWARE\\X]" and "\"Name\"=\"value\""; "[-KEY]" deletes).
void importRegistry(const std::string& lines, const fs::path& workDir);

// A .reg string literal: backslashes and quotes escaped, enclosed in quotes.
std::string regString(const std::string& text);

// The keys that runtime searches read; tests that write them hold the registry lock.
void clearRuntimeRegistry(const fs::path& workDir);

}  // namespace kestro::e2e
