#include <windows.h>

#include "common/environment.h"
#include "common/text.h"

namespace kestro {

std::string environmentVariable(const char* name) {
    std::string value(kTextCapacity, '\0');
    DWORD n = GetEnvironmentVariableA(name, value.data(), DWORD(value.size()));
    value.resize(n < value.size() ? n : 0);
    return value;
}

std::optional<std::string> environmentValue(const char* name) {
    SetLastError(ERROR_SUCCESS);
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) {
        // An empty variable also reports 0, but leaves no error behind.
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::string value(size, '\0');
    DWORD n = GetEnvironmentVariableA(name, value.data(), size);
    value.resize(n < size ? n : 0);
    return value;
}

}  // namespace kestro
