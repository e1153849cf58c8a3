#include <windows.h>

#include <cstring>

#include "common/win32_handles.h"
#include "runtime/version_cache.h"

namespace kestro {

namespace {

constexpr char kLastWriteValue[] = "LastWriteTime";
constexpr char kVersionValue[] = "Version";

// The file time in the platform's little-endian layout, as the registry stores it.
void fileTimeBytes(uint64_t time, BYTE (&bytes)[8]) {
    for (int i = 0; i < 8; ++i) bytes[i] = BYTE(time >> (8 * i));
}

}  // namespace

bool readCachedVersion(const std::string& javaExe, uint64_t lastWrite, std::string& version) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, versionCacheKey(javaExe).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
        ERROR_SUCCESS)
        return false;
    UniqueKey key(opened);

    BYTE stored[8], current[8];
    DWORD size = sizeof stored;
    if (RegQueryValueExA(key.get(), kLastWriteValue, nullptr, nullptr, stored, &size) != ERROR_SUCCESS ||
        size != sizeof stored)
        return false;
    fileTimeBytes(lastWrite, current);
    if (std::memcmp(stored, current, sizeof stored) != 0) return false;

    std::string text(kTextCapacity, '\0');
    size = DWORD(text.size());
    if (RegQueryValueExA(key.get(), kVersionValue, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    // The text ends after the bytes read, within the buffer's capacity, and at its first
    // zero byte: another writer may have stored a terminator.
    text.resize(size < kTextCapacity ? size : kTextCapacity - 1);
    text.resize(std::strlen(text.c_str()));
    version = std::move(text);
    return true;
}

void writeCachedVersion(const std::string& javaExe, uint64_t lastWrite, std::string_view version) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, versionCacheKey(javaExe).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS)
        return;
    UniqueKey key(created);
    BYTE time[8];
    fileTimeBytes(lastWrite, time);
    RegSetValueExA(key.get(), kLastWriteValue, 0, REG_BINARY, time, sizeof time);
    RegSetValueExA(key.get(), kVersionValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(version.data()),
                   DWORD(version.size()));
}

}  // namespace kestro
