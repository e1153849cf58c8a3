// Path helpers: the launcher's own path, resolution against the launcher's directory,
// normalisation and existence tests. Paths are 8-bit text in the code page of the
// system's file functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/text.h"
#include "workfiles/path_rules.h"

namespace kestro {

// The launcher's executable path, computed once. A path with characters outside the
// file-system code page is given in its short form so the 8-bit file functions open it.
const std::string& getModulePath();

// The full path of the launcher's directory with a trailing backslash, computed once.
const std::string& moduleDirectory();

void collapseBackslashes(std::string& path);

// `path` made absolute by prefixing the directory of `baseFile` (or the launcher's
// directory without one) when it is relative; "." and ".." stay as written.
std::string resolveAgainst(std::string_view path, const char* baseFile = nullptr);

// `path` resolved, normalised ("." and ".." removed) and, unless keepCase, lower-cased.
std::string fullPath(std::string_view path, bool keepCase);

void lowerCasePath(std::string& path);

// The system's full path of `path` alone (no resolution against the launcher's
// directory, no lower-casing); empty when the call fails.
std::string systemFullPath(const std::string& path);

// The system's long or short (8.3) form of `path`; none when the call fails or the
// result does not fit a buffer of `capacity` bytes.
std::optional<std::string> longPathName(const std::string& path, size_t capacity = kTextCapacity);
std::optional<std::string> shortPathName(const std::string& path, size_t capacity = kTextCapacity);

// The long form of `path` only when the code page holds it exactly: for the others the
// 8-bit call gives "?" or a look-alike letter, which names no file or another one.
std::optional<std::string> exactLongPathName(const std::string& path);

// The short (8.3) form of a UTF-16 path as 8-bit text, only when the code page holds
// it exactly; none when the path has no short form (it does not exist, short names are
// off) or the form still needs characters the code page lacks.
std::optional<std::string> exactShortPathName(const Utf16& path);

// The Windows directory, within a buffer of `capacity` bytes.
std::string windowsDirectory(size_t capacity = kTextCapacity);
bool pathExists(const std::string& path);

// True when the path exists; `lastWrite` then receives its last-write file time.
bool findFileTime(const std::string& path, uint64_t* lastWrite = nullptr);

// Each path of a ";"-separated list resolved against the launcher's directory.
std::string resolvePathList(std::string_view list);

// Conversions in the file functions' code page (ANSI, or OEM when switched). `exact`
// receives false when a character had to be replaced by "?".
std::string toFileSystemText(Utf16View text, bool* exact = nullptr);
Utf16 fromFileSystemText(std::string_view text);

}  // namespace kestro
