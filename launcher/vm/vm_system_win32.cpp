#include <windows.h>

#include <cstdio>

#include "common/environment.h"
#include "common/win32_handles.h"
#include "vm/variable_expansion.h"
#include "vm/vm_system.h"
#include "workfiles/paths.h"
#include "workfiles/runtime_library_cache.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

// No attribute filter and no sorting: directories with a matching name count too.
std::vector<std::string> listDirectory(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA(pattern.c_str(), &found));
    if (!search) return names;
    do names.emplace_back(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    return names;
}

}  // namespace

const VmSystem& win32VmSystem() {
    static const VmSystem system{
        .expand = expandVariables,
        .resolve = [](std::string_view path, const char* baseFile) { return resolveAgainst(path, baseFile); },
        .fullPath = fullPath,
        .exists = pathExists,
        .listDirectory = listDirectory,
        .environment = environmentValue,
        .openText = [](const std::string& path) { return std::fopen(path.c_str(), "r"); },
        .toUtf16 = fromFileSystemText,
        .toNarrow = [](Utf16View text) { return toFileSystemText(text); },
        .modulePath = getModulePath,
        .longPath = exactLongPathName,
        .tempDir = []() -> const std::string& { return tempDirPath(); },
        .runtimeLibrary = []() -> const std::string& { return runtimeLibraryPath(); },
    };
    return system;
}

}  // namespace kestro
