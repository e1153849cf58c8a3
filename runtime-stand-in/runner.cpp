// The program kestro run starts under Wine: `runner FILE` runs the command line that
// FILE holds (UTF-8), exactly as written, with the runner's own standard handles, and
// ends with the program's exit code. kestro run writes the command line itself, quoted
// as the launcher splits it, which the command line Wine makes from Linux arguments is
// not. Wine gives a windowed program started from a Linux terminal no standard handles;
// handed over explicitly, they reach a windowed launcher too, and through it the
// application's output reaches the terminal.
#include <windows.h>

#include <cstdio>
#include <string>

#include "standard_handles.h"

namespace {

// The file's text, read with the system's calls (the C++ streams would make this small
// program ten times larger); empty when it cannot be read.
std::wstring commandLineIn(const wchar_t* file) {
    HANDLE handle = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return L"";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(handle);
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(n > 0 ? n : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring commandLine = argc == 2 ? commandLineIn(argv[1]) : L"";
    if (commandLine.empty()) {
        std::fprintf(stderr, "usage: runner FILE (a command line, UTF-8)\n");
        return 125;
    }
    STARTUPINFOW startup = stand_in::withOwnStandardHandles();
    PROCESS_INFORMATION process{};
    // Wine now and then loses a new process before its start-up has finished
    // (ERROR_INTERNAL_ERROR, before the program ran at all): that alone is tried again.
    for (int attempt = 1;; ++attempt) {
        std::wstring writable = commandLine;  // CreateProcessW may write into it
        if (CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
            break;
        DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
            std::fprintf(stderr, "kestro run: Wine cannot start the launcher (error %lu)\n", error);
            return 126;
        }
        Sleep(DWORD(200 * attempt));
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return int(code);
}
