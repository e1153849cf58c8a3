// Windows side of the start-up benchmark, run under Wine.
//   startup_bench time RUNS PROGRAM...: starts each program RUNS times, interleaved, and
//     prints the median wall time from process creation to its end, per program.
//   startup_bench burst COUNT PROGRAM: starts COUNT instances of the program at once,
//     instance n with the arguments "burst n" "with space n", waits for all of them and
//     prints the wall time from the first creation to the last end, and how many of
//     them ended with an exit code other than 0.
//   startup_bench leftovers RUNS COUNT ROOT PROGRAM: with TMP set to ROOT, starts the
//     program RUNS times on a root emptied before each start and RUNS times on one that
//     holds COUNT directories that ended launchers left (their marker, two jars),
//     interleaved, and prints both medians (the preparation is not timed)
//   startup_bench locate COUNT JAVA VMLIB DIR: records COUNT located runtimes under
//     HKCU\SOFTWARE\quenfield\kestro\locatedjvms, laid out below DIR with hard links to
//     the stand-in JAVA; the first reports 1.8.0_201 and has the VM library VMLIB, every
//     other reports 1.7.0_80 (below the benchmark's lower bound 1.8).
//   startup_bench register COUNT JAVA DIR: registers COUNT runtimes in HKLM across the
//     sources of today's installers (JavaSoft\JDK and \JRE, the Adoptium MSI layouts of
//     each vendor), laid out below DIR like the located ones, all reporting 1.7.0_80
//     under version keys within the bound, so that the search checks every one of them.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kLocated[] = L"SOFTWARE\\quenfield\\kestro\\locatedjvms";

double runOnce(const std::wstring& program) {
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (code != 0) std::fwprintf(stderr, L"%ls ended with exit code %lu\n", program.c_str(), code);
    return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int timePrograms(int runs, const std::vector<std::wstring>& programs) {
    std::vector<std::vector<double>> times(programs.size());
    for (const auto& program : programs) runOnce(program);  // warm the file cache
    for (int i = 0; i < runs; ++i)
        for (size_t p = 0; p < programs.size(); ++p) times[p].push_back(runOnce(programs[p]));
    for (size_t p = 0; p < programs.size(); ++p)
        std::wprintf(L"%ls %.3f\n", programs[p].c_str(), median(times[p]));
    return 0;
}

int burst(int count, const std::wstring& program) {
    std::vector<HANDLE> processes;
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int n = 0; n < count; ++n) {
        std::wstring number = std::to_wstring(n);
        std::wstring command = L"\"" + program + L"\" burst" + number + L" \"with space " + number + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            std::fwprintf(stderr, L"%ls could not be started: %lu\n", program.c_str(), GetLastError());
            continue;
        }
        CloseHandle(pi.hThread);
        processes.push_back(pi.hProcess);
    }
    int failed = count - int(processes.size());
    for (HANDLE process : processes) {
        WaitForSingleObject(process, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        failed += code != 0;
        CloseHandle(process);
    }
    QueryPerformanceCounter(&end);
    std::wprintf(L"%.3f %d\n", 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart), failed);
    return 0;
}

void writeText(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
}

// A stand-in runtime below `dir` named `name` whose java.exe reports `version`; its home.
std::wstring layOutRuntime(const std::wstring& dir, const std::wstring& name, const std::wstring& java,
                           const std::string& version) {
    std::wstring home = dir + L"\\" + name, bin = home + L"\\bin", exe = bin + L"\\java.exe";
    CreateDirectoryW(dir.c_str(), nullptr);
    CreateDirectoryW(home.c_str(), nullptr);
    CreateDirectoryW(bin.c_str(), nullptr);
    if (!CreateHardLinkW(exe.c_str(), java.c_str(), nullptr)) CopyFileW(java.c_str(), exe.c_str(), FALSE);
    writeText(exe + L".cfg", "stderr=java version \"" + version + "\"\\r\\n\nexit=0\nsleep=0\n");
    return home;
}

// Deletes what lies in `dir`, one directory level deep (the launchers' directories).
void emptyRoot(const std::wstring& dir, int levels) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = entry.cFileName, path = dir + L"\\" + name;
        if (name == L"." || name == L"..") continue;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileW(path.c_str());
        } else if (levels > 0) {
            emptyRoot(path, levels - 1);
            RemoveDirectoryW(path.c_str());
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

int leftovers(int runs, int count, const std::wstring& root, const std::wstring& program) {
    CreateDirectoryW(root.c_str(), nullptr);
    SetEnvironmentVariableW(L"TMP", root.c_str());
    SetEnvironmentVariableW(L"TEMP", root.c_str());
    std::vector<double> none, many;
    for (int i = 0; i <= runs; ++i) {
        emptyRoot(root, 1);
        double clean = runOnce(program);
        emptyRoot(root, 1);
        for (int n = 0; n < count; ++n) {
            std::wstring dir = root + L"\\kst" + std::to_wstring(n) + L".tmp_dir1700000000";
            CreateDirectoryW(dir.c_str(), nullptr);
            for (const wchar_t* name : {L"kst_lock", L"kestro-runtime.jar", L"app.jar"})
                writeText(dir + L"\\" + name, "x");
        }
        double crowded = runOnce(program);
        if (i == 0) continue;  // the first warms the file cache
        none.push_back(clean);
        many.push_back(crowded);
    }
    std::wprintf(L"%.3f %.3f\n", median(none), median(many));
    return 0;
}

int locate(int count, const std::wstring& java, const std::wstring& vmLibrary, const std::wstring& dir) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kLocated);
    for (int i = 0; i < count; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"r%04d", i);
        std::wstring bin = layOutRuntime(dir, name, java, i == 0 ? "1.8.0_201" : "1.7.0_80") + L"\\bin";
        std::wstring exe = bin + L"\\java.exe";
        if (i == 0) {
            CreateDirectoryW((bin + L"\\server").c_str(), nullptr);
            CopyFileW(vmLibrary.c_str(), (bin + L"\\server\\jvm.dll").c_str(), FALSE);
        }
        std::wstring keyName = exe;
        std::replace(keyName.begin(), keyName.end(), L'\\', L'/');
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kLocated) + L"\\" + keyName).c_str(), 0, nullptr, 0,
                            KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    return 0;
}

void setString(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

int registerRuntimes(int count, const std::wstring& java, const std::wstring& dir) {
    const wchar_t* javaSoft[] = {L"SOFTWARE\\JavaSoft\\JDK", L"SOFTWARE\\JavaSoft\\JRE"};
    const wchar_t* installers[] = {L"SOFTWARE\\Eclipse Adoptium\\JDK",   L"SOFTWARE\\Eclipse Adoptium\\JRE",
                                   L"SOFTWARE\\Eclipse Foundation\\JDK", L"SOFTWARE\\Eclipse Foundation\\JRE",
                                   L"SOFTWARE\\AdoptOpenJDK\\JDK",       L"SOFTWARE\\AdoptOpenJDK\\JRE",
                                   L"SOFTWARE\\Microsoft\\JDK"};
    for (const wchar_t* key : javaSoft) RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
    for (const wchar_t* key : installers) RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
    for (int i = 0; i < count; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"g%04d", i);
        std::wstring home = layOutRuntime(dir, name, java, "1.7.0_80"), n = std::to_wstring(i);
        size_t source = size_t(i) % 9;
        if (source < 2)
            setString(std::wstring(javaSoft[source]) + L"\\1.8.0_" + n, L"JavaHome", home);
        else
            setString(std::wstring(installers[source - 2]) + L"\\8.0." + n + L".1\\hotspot\\MSI", L"Path", home + L"\\");
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"time" && argc > 3) return timePrograms(_wtoi(argv[2]), std::vector<std::wstring>(argv + 3, argv + argc));
    if (verb == L"burst" && argc == 4) return burst(_wtoi(argv[2]), argv[3]);
    if (verb == L"locate" && argc == 6) return locate(_wtoi(argv[2]), argv[3], argv[4], argv[5]);
    if (verb == L"register" && argc == 5) return registerRuntimes(_wtoi(argv[2]), argv[3], argv[4]);
    if (verb == L"leftovers" && argc == 6) return leftovers(_wtoi(argv[2]), _wtoi(argv[3]), argv[4], argv[5]);
    std::fprintf(stderr, "usage: startup_bench time RUNS PROGRAM... | burst COUNT PROGRAM | locate COUNT JAVA VMLIB DIR"
                         " | register COUNT JAVA DIR | leftovers RUNS COUNT ROOT PROGRAM\n");
    return 2;
}
