#include <windows.h>

#include "common/win32_handles.h"
#include "config/locale.h"

namespace kestro {

namespace {

// Looked up at run time: the function is missing from the oldest systems.
std::optional<uint16_t> userInterfaceLanguage() {
    UniqueModule kernel(LoadLibraryA("Kernel32.DLL"));
    if (!kernel) return std::nullopt;
    using Query = LANGID(WINAPI*)();
    auto query =
        reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(kernel.get(), "GetUserDefaultUILanguage")));
    if (!query) return std::nullopt;
    return uint16_t(query());
}

}  // namespace

std::string selectLocale(const std::vector<Utf16>& arguments) {
    return chooseLocale(arguments, LANGIDFROMLCID(GetUserDefaultLCID()), userInterfaceLanguage);
}

}  // namespace kestro
