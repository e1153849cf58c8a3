// Reading the registry in the launcher's native view: keys opened for reading, string
// values of bounded size, sub-key names.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win32_handles.h"

namespace kestro {

// The key at `path` below `root`, opened for reading; empty when it is missing.
UniqueKey openRegistryKey(HKEY root, const char* path);
inline UniqueKey openRegistryKey(HKEY root, const std::string& path) { return openRegistryKey(root, path.c_str()); }

// The string value `name` of `key`, at most `capacity` bytes with its terminator, cut
// at its first zero byte. False when it cannot be read.
[[nodiscard]] bool readRegistryString(HKEY key, const char* name, size_t capacity, std::string& value);

// The names of the key's sub-keys, in the registry's order.
std::vector<std::string> registrySubKeyNames(HKEY key);

}  // namespace kestro
