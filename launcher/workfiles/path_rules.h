// The string rules of the launcher's paths, free of any system call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/text.h"

namespace kestro {

// False for a drive path (second and third characters ":\") or a network path (two
// leading backslashes), one leading double quote skipped first; true otherwise,
// including "C:", "C:x" and "\x".
bool isRelativePath(std::string_view path);

// Drops every backslash that directly follows a kept backslash, except that a leading
// run keeps two (a network prefix stays intact).
void collapseBackslashRuns(Utf16& path);

// "X:\", "X:\." and "X:\.\." name a drive root, which exists without a search.
bool isDriveRootText(std::string_view path);

// The path without trailing backslashes, except the one of a drive root ("C:\") or a
// network prefix.
std::string withoutTrailingBackslash(std::string_view path);

// The path up to and with its last separator; empty when it has none.
std::string directoryPart(std::string_view path);

// The directory, a backslash unless it already ends with one, and the name.
std::string childPath(std::string_view directory, std::string_view name);

// False for an empty path and for one beginning with ".": ".", ".." and paths written
// relative to them are never emptied, whatever the current directory is.
bool mayEmptyDirectory(std::string_view path);

// True for the name of a run's temporary directory: "kst", anything, "_dir" and at least
// one digit to the end, in any letter case.
bool isRunDirectoryName(std::string_view name);

// The creation time (seconds since 1970) that a run directory's name ends with; none for
// another name or a number too long to be one.
std::optional<int64_t> runDirectoryTime(std::string_view name);

// Lower-cases the letters A to Z and nothing else.
void lowerAsciiLetters(Utf16& text);

}  // namespace kestro
