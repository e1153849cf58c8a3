// The other common design of a Java launcher, reduced to what it must do, for the VM
// start benchmark: find the runtime's javaw.exe beside the executable (jre\bin), start it
// as a child process with a class path, a main class and the arguments, wait for it, and
// end with its exit code. A windowed program, as such launchers are. Built a second time
// with KESTRO_INIT_COMMON_CONTROLS, which first initialises the common controls as the
// launcher's first step does, for a comparison on equal terms.
#include <windows.h>
#ifdef KESTRO_INIT_COMMON_CONTROLS
#include <commctrl.h>
#endif

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int) {
#ifdef KESTRO_INIT_COMMON_CONTROLS
    InitCommonControls();
#endif
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), DWORD(self.size())));
    std::wstring javaw = self.substr(0, self.find_last_of(L'\\') + 1) + L"jre\\bin\\javaw.exe";
    if (GetFileAttributesW(javaw.c_str()) == INVALID_FILE_ATTRIBUTES) return 83;
    std::wstring command = L"\"" + javaw + L"\" -cp app.jar bench.Main " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(javaw.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return 1;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return int(code);
}
