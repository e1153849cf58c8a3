#include "tool/platform/program.h"

#include <windows.h>

#include <string>

namespace kestro::tool {

std::filesystem::path programDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);  // cut short: try a larger buffer
    }
}

}  // namespace kestro::tool
