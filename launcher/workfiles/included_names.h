// The names of the included files: which of them are extracted, and which are safe to
// write below the temporary directory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// The names of a ";"-separated list that extraction handles: the non-empty ones, in
// order, at most `count` of them (none for a count of 0 or below).
std::vector<std::string> includedFileNames(std::string_view list, int32_t count);

// False for a name that could reach outside the directory it is written into: empty,
// beginning with a separator, holding a colon (a drive letter or a stream), with a
// component of dots (and spaces, which Windows trims) naming a parent directory, or
// with a component that Windows maps to a device (see namesDevice).
bool isSafeIncludedName(std::string_view name);

// True when a component of the name is a device name such as "nul" or "aux.jar":
// writing it would send the data to the device instead of a file.
bool namesDevice(std::string_view name);

// The text before the name's first backslash, the one directory level that extraction
// creates; empty when the name has no backslash.
std::string includedNameDirectory(std::string_view name);

// The Java runtime library as the build includes it. It is kept in a per-user cache
// instead of this run's directory, so that a launcher carrying nothing else creates
// no directory at all.
inline constexpr std::string_view kRuntimeLibraryName = "kestro-runtime.jar";
bool isRuntimeLibraryName(std::string_view name);

// The cache's file for a runtime library of these bytes: "kestro-runtime-", 16
// hexadecimal digits of a hash of the bytes, ".jar". One file per content: launchers
// that carry different libraries never share one.
std::string runtimeLibraryCacheName(std::string_view bytes);

// True for a name that runtimeLibraryCacheName gives, in any letter case.
bool isRuntimeLibraryCacheName(std::string_view name);

}  // namespace kestro
