#include "runtime/runtime_library.h"

#include "common/win32_handles.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

// The C runtimes that Java runtimes carry in bin (8: msvcr100; 9 and later: vcruntime140,
// msvcp140). Loaded from there first, as the runtime's own launcher does.
constexpr const char* kRuntimeCLibraries[] = {"vcruntime140.dll", "vcruntime140_1.dll", "msvcp140.dll",
                                              "msvcr120.dll", "msvcr100.dll"};

// Not in Windows 7 before KB2533623: looked up, never imported, or the launcher would
// not start there at all.
using AddDllDirectoryFn = void*(WINAPI*)(const wchar_t*);
using RemoveDllDirectoryFn = BOOL(WINAPI*)(void*);

template <class Fn>
Fn kernelFunction(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name))) : nullptr;
}

HMODULE loadWithoutPlantedNeighbours(const Utf16& path, const Utf16& bin) {
    static const auto add = kernelFunction<AddDllDirectoryFn>("AddDllDirectory");
    static const auto remove = kernelFunction<RemoveDllDirectoryFn>("RemoveDllDirectory");
    if (add && remove) {
        void* cookie = add(wide(bin));
        HMODULE module = LoadLibraryExW(wide(path), nullptr,
                                        LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS |
                                            LOAD_LIBRARY_SEARCH_SYSTEM32);
        DWORD error = GetLastError();
        if (cookie) remove(cookie);
        if (module || error != ERROR_INVALID_PARAMETER) {
            SetLastError(error);
            return module;
        }
    }
    // The library's directory takes the place of the launcher's; the current directory
    // is out of the search already.
    return LoadLibraryExW(wide(path), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void removeCurrentDirectoryFromDllSearch() { SetDllDirectoryW(L""); }

HMODULE loadRuntimeLibrary(const std::string& path, const std::string& binDirectory) {
    Utf16 bin = fromFileSystemText(binDirectory);
    for (const char* name : kRuntimeCLibraries) {
        Utf16 library = bin + u'\\' + fromFileSystemText(name);
        // Kept for the life of the process, as the libraries that import it are; a
        // runtime without it simply fails to load it.
        (void)loadWithoutPlantedNeighbours(library, bin);
    }
    return loadWithoutPlantedNeighbours(fromFileSystemText(path), bin);
}

}  // namespace kestro
