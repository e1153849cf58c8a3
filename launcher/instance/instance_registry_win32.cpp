#include <windows.h>

#include "common/win32_handles.h"
#include "instance/single_instance.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

constexpr char kPidsKey[] = "SOFTWARE\\quenfield\\kestro\\pids\\";

// The value name: the canonical path keeps its backslashes, unlike the semaphore name.
std::string pidValueName() { return fullPath(getModulePath(), false); }

// Beside it: "|" is in no file name, so no executable's own value can have this name.
std::string creationValueName() {
    std::string name = pidValueName();
    name += "|created";
    return name;
}

}  // namespace

bool registerInstancePid(uint32_t processId) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kPidsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &created, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueKey key(created);
    DWORD value = processId;
    uint64_t createdAt = processId == GetCurrentProcessId() ? processCreationTime(GetCurrentProcess()) : 0;
    // The time first: a reader that finds the new id finds its time with it.
    (void)RegSetValueExA(key.get(), creationValueName().c_str(), 0, REG_QWORD, reinterpret_cast<const BYTE*>(&createdAt),
                         sizeof createdAt);
    return RegSetValueExA(key.get(), pidValueName().c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

uint64_t readInstanceCreationTime() {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPidsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return 0;
    UniqueKey key(opened);
    uint64_t value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.get(), creationValueName().c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        size != sizeof value)
        return 0;
    return value;
}

uint32_t readInstancePid() {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPidsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return 0;
    UniqueKey key(opened);
    DWORD value = 0, size = sizeof value;
    // Whatever its type: only a value of exactly four bytes is taken as a process id.
    if (RegQueryValueExA(key.get(), pidValueName().c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        size != sizeof value)
        return 0;
    return value;
}

}  // namespace kestro
