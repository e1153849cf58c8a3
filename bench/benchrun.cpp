// Windows helper of the benchmark, run under Wine.
//   benchrun run TMPDIR PROGRAM: runs PROGRAM with TMP and TEMP set to TMPDIR and no
//     trace, and prints its wall time, exit code and peak memory. The peaks are read
//     while it runs (every millisecond), as a process that has ended has no counters.
//   benchrun copy SRC DST: copies every file below SRC to DST with CopyFileW (one
//     directory level), the system's plain copy, and prints the wall time.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

double seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

int run(const wchar_t* tmp, const wchar_t* program) {
    SetEnvironmentVariableW(L"TMP", tmp);
    SetEnvironmentVariableW(L"TEMP", tmp);
    SetEnvironmentVariableW(L"KESTRO_LOG", nullptr);
    SetEnvironmentVariableW(L"VELMORA_LOG", nullptr);
    std::wstring command = std::wstring(L"\"") + program + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "benchrun: cannot start (%lu)\n", GetLastError());
        return 1;
    }
    SIZE_T peakWorkingSet = 0, peakPagefile = 0;
    while (WaitForSingleObject(pi.hProcess, 1) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters)) {
            if (counters.PeakWorkingSetSize > peakWorkingSet) peakWorkingSet = counters.PeakWorkingSetSize;
            if (counters.PeakPagefileUsage > peakPagefile) peakPagefile = counters.PeakPagefileUsage;
        }
    }
    QueryPerformanceCounter(&end);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("seconds=%.3f exit=%lu peak_working_set_kb=%zu peak_pagefile_kb=%zu\n", seconds(start, end), code,
                peakWorkingSet / 1024, peakPagefile / 1024);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

bool copyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ok = copyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else ok = CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring(argv[1]) == L"run") return run(argv[2], argv[3]);
    if (argc == 4 && std::wstring(argv[1]) == L"copy") {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        bool ok = copyTree(argv[2], argv[3]);
        QueryPerformanceCounter(&end);
        std::printf("seconds=%.3f ok=%d\n", seconds(start, end), ok ? 1 : 0);
        return ok ? 0 : 1;
    }
    std::fprintf(stderr, "usage: benchrun run TMPDIR PROGRAM | benchrun copy SRC DST\n");
    return 2;
}
