// What the VM start needs from the system, gathered in one table of plain functions:
// the launcher fills it with the Win32 helpers (vm_system_win32.cpp), the native tests
// with an in-memory file system and environment. Everything else of the VM start's
// rules (option lines, class path order, argument lists) is portable code over it.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace kestro {

struct VmSystem {
    // Replaces the launcher's variables and "${NAME}" references in place.
    void (*expand)(std::string& text);
    // `path` made absolute against the directory of `baseFile`, or of the launcher
    // without one; "." and ".." stay as written.
    std::string (*resolve)(std::string_view path, const char* baseFile);
    // `path` resolved and normalised; lower-cased unless keepCase.
    std::string (*fullPath)(std::string_view path, bool keepCase);
    // True when a file or directory of that name exists; a name ending in a backslash
    // never does.
    bool (*exists)(const std::string& path);
    // The names that match a search pattern ("C:\dir\*.jar"), in the order the file
    // system lists them; empty when nothing matches.
    std::vector<std::string> (*listDirectory)(const std::string& pattern);
    // The whole value of an environment variable; none when it is not set.
    std::optional<std::string> (*environment)(const char* name);
    // Opens a text file for reading (line ends as the C runtime's text mode gives
    // them); null when it does not open.
    std::FILE* (*openText)(const std::string& path);
    // Conversions between the launcher's 8-bit texts and UTF-16 (the file functions'
    // code page; characters without an 8-bit form become "?").
    Utf16 (*toUtf16)(std::string_view text);
    std::string (*toNarrow)(Utf16View text);
    // The launcher's executable path, and the long form of a path: none on failure, and
    // none when the code page cannot hold it exactly (the 8-bit call would give "?" or a
    // look-alike letter, naming no file or another one).
    const std::string& (*modulePath)();
    std::optional<std::string> (*longPath)(const std::string& path);
    // This run's temporary directory; empty when none was created.
    const std::string& (*tempDir)();
    // The runtime library in the per-user cache; empty when it is not used.
    const std::string& (*runtimeLibrary)();
};

// The launcher's own table, over the Win32 helpers.
const VmSystem& win32VmSystem();

}  // namespace kestro
