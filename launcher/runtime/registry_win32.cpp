#include "runtime/registry_win32.h"

#include <cstring>

#include "common/text.h"

namespace kestro {

UniqueKey openRegistryKey(HKEY root, const char* path) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &opened) != ERROR_SUCCESS) return UniqueKey();
    return UniqueKey(opened);
}

bool readRegistryString(HKEY key, const char* name, size_t capacity, std::string& value) {
    std::string text(capacity, '\0');
    DWORD size = DWORD(capacity);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return false;
    text.resize(size < capacity ? size : capacity - 1);
    text.resize(std::strlen(text.c_str()));
    value = std::move(text);
    return true;
}

std::vector<std::string> registrySubKeyNames(HKEY key) {
    std::vector<std::string> names;
    std::string name(kTextCapacity, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(name.size());
        LONG result = RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) continue;  // a name beyond the buffer is skipped
        if (result != ERROR_SUCCESS) break;      // no more items, or the key is unusable
        names.emplace_back(name.data(), length);
    }
    return names;
}

}  // namespace kestro
