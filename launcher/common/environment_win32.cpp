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

}  // namespace kestro
