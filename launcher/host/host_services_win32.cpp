// The host services: the console for the console switches, the reboot invocation and
// the native library directories in front of PATH.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "common/environment.h"
#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "host/console.h"
#include "host/console_attach.h"
#include "host/library_path.h"
#include "host/native_library_path.h"
#include "host/reboot.h"
#include "vm/variable_expansion.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

// A standard handle that leads somewhere: a windowed program started without
// redirection has none, and the caller's redirection must be kept.
bool usable(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

struct StandardStream {
    DWORD id;
    FILE* stream;
    const char* device;
    const char* mode;
};

// Connects the process's standard handle and the C runtime's descriptor and stream to
// the console, so that the launcher's own reports reach it and the VM, loaded later,
// finds it. Only the runtime's documented calls are used: the console goes onto the
// stream's own descriptor, or onto the standard one when the stream has none (a windowed
// program started without handles), and such a stream is reopened on the console by name.
// A runtime may refuse that (Wine's does); the launcher's reports go to the handle.
void connectToConsole(const StandardStream& s, int standardDescriptor) {
    HANDLE console = CreateFileA(s.device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return;
    int opened = _open_osfhandle(intptr_t(console), _O_TEXT);
    if (opened < 0) {
        CloseHandle(console);
        return;
    }
    int descriptor = _fileno(s.stream) >= 0 ? _fileno(s.stream) : standardDescriptor;
    bool moved = _dup2(opened, descriptor) == 0;
    _close(opened);
    if (!moved) return;
    SetStdHandle(s.id, reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)));
    if (_fileno(s.stream) < 0 && !std::freopen(s.device, s.mode, s.stream)) return;
    if (s.stream != stdin) std::setvbuf(s.stream, nullptr, _IONBF, 0);
}

std::string resolveRelative(std::string_view relative) { return resolveAgainst(relative); }

}  // namespace

bool openConsole() {
    const StandardStream streams[] = {{STD_INPUT_HANDLE, stdin, "CONIN$", "r"},
                                      {STD_OUTPUT_HANDLE, stdout, "CONOUT$", "w"},
                                      {STD_ERROR_HANDLE, stderr, "CONOUT$", "w"}};
    // Taken before the console exists: creating one may fill the empty handles without
    // telling the C runtime, whose streams were set up at start.
    bool connected[3];
    for (size_t i = 0; i < 3; ++i) connected[i] = usable(GetStdHandle(streams[i].id));

    using AttachFunction = BOOL(WINAPI*)(DWORD);
    // Looked up, since older systems lack it.
    auto attach = reinterpret_cast<AttachFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "AttachConsole")));
    bool hasConsole = false;
    if (attach) {
        BOOL attached = attach(ATTACH_PARENT_PROCESS);
        hasConsole = attachedToConsole(attached, attached ? 0 : GetLastError());
    }
    if (!hasConsole && !AllocConsole()) return false;
    for (size_t i = 0; i < 3; ++i)
        if (!connected[i]) connectToConsole(streams[i], int(i));
    return true;
}

void rebootSystem() {
    Sleep(5000);
    HANDLE token = nullptr;
    // TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY. The handle stays open: the process ends
    // right after.
    if (!OpenProcessToken(GetCurrentProcess(), 0x28, &token)) return;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    // The adjustment succeeds even when the privilege is not held; only a clean last
    // error says that it was really granted.
    if (GetLastError() != ERROR_SUCCESS) return;
    ExitWindowsEx(EWX_REBOOT, 0);
}

void setNativeLibraryPath() {
    std::string configured = lookupString(key::NativeLibraryPath);
    trace("native lib dir is %s", configured.c_str());
    expandVariables(configured);
    std::string directories = libraryDirectories(configured, resolveRelative);
    if (directories.empty()) {
        // Nothing to add: PATH is left exactly as it came.
        trace("PATH unchanged (native libs)");
        return;
    }
    std::optional<Utf16> oldPath = environmentValueUtf16("PATH");
    WidePathValue path = pathWithLibraries(Utf16View(fromFileSystemText(directories)), oldPath);
    std::string shown = toFileSystemText(path.value);
    if (path.shortened) {
        size_t whole = directories.size() + (oldPath ? oldPath->size() : 0);
        traceError("PATH would exceed %d characters; only its first whole entries are kept (%d of %d characters)",
                   int(kPathValueLimit), int(path.value.size()), int(whole));
    }
    if (setEnvironmentValue("PATH", path.value)) {
        trace("Setting PATH (native libs) %s", shown.c_str());
    } else {
        DWORD error = GetLastError();
        trace("Setting PATH (native libs) %s failed with error %d", shown.c_str(), int(error));
    }
}

}  // namespace kestro
