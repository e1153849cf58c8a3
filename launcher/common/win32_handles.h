// Owners for the Win32 handles the launcher opens.
#pragma once

#include <windows.h>

#include "common/text.h"
#include "common/unique.h"

namespace kestro {

struct FileHandleTraits {  // CreateFile: INVALID_HANDLE_VALUE means none
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};
struct KernelHandleTraits {  // processes, threads, semaphores: null means none
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { FindClose(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { FreeLibrary(h); }
};
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { RegCloseKey(h); }
};

using UniqueFile = Unique<FileHandleTraits>;
using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueFind = Unique<FindHandleTraits>;
using UniqueModule = Unique<ModuleTraits>;
using UniqueKey = Unique<RegistryKeyTraits>;

inline const wchar_t* wide(const Utf16& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline wchar_t* wide(Utf16& s) { return reinterpret_cast<wchar_t*>(s.data()); }

}  // namespace kestro
