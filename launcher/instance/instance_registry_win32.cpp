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

namespace {

// Reads the recorded id (or, with `creation`, its process's creation time) into `value`:
// whatever its type, only a value of exactly `size` bytes is taken.
bool readRecord(bool creation, void* value, DWORD size) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPidsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    UniqueKey key(opened);
    DWORD read = size;
    return RegQueryValueExA(key.get(), (creation ? creationValueName() : pidValueName()).c_str(), nullptr, nullptr,
                            static_cast<BYTE*>(value), &read) == ERROR_SUCCESS &&
           read == size;
}

}  // namespace

uint64_t readInstanceCreationTime() {
    uint64_t value = 0;
    return readRecord(true, &value, sizeof value) ? value : 0;
}

uint32_t readInstancePid() {
    DWORD value = 0;
    return readRecord(false, &value, sizeof value) ? value : 0;
}

}  // namespace kestro
