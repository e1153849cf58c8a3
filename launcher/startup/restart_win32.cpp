#include <windows.h>

#include "common/environment.h"
#include "common/win32_handles.h"
#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "instance/single_instance.h"
#include "startup/exit.h"
#include "startup/restart_guard.h"
#include "workfiles/run_directory.h"

namespace kestro {

namespace {

std::string& restartHistory() {
    static std::string history;
    return history;
}

int64_t secondsNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return int64_t((uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime) / 10000000);
}

}  // namespace

void takeRestartHistory() {
    restartHistory() = environmentValue(kRestartHistoryVariable).value_or(std::string());
    SetEnvironmentVariableA(kRestartHistoryVariable, nullptr);
}

void restartOnExitCode(int32_t code) {
    if (!isRestartCode(lookupString(key::RestartExitCodes), code)) return;
    int64_t now = secondsNow();
    std::vector<int64_t> recent = recentRestarts(restartHistory(), now);
    if (recent.size() >= kRestartsPerMinute) {
        trace("no restart after exit code %d: %d restarts within a minute already", int(code), int(recent.size()));
        return;
    }
    trace("restarting after exit code %d", int(code));
    SetEnvironmentVariableA(kRestartHistoryVariable, nextRestartHistory(recent, now).c_str());
    // The new process must find no running instance: it is the application's next start.
    leaveInstance();
    // This process only waits from here on, and ends after: the sweep of earlier
    // launchers' directories stops now, not at an ExitProcess in its midst.
    stopRemovingEndedRunDirectories();
    Utf16 commandLine(reinterpret_cast<const char16_t*>(GetCommandLineW()));
    wchar_t program[32768];
    DWORD length = GetModuleFileNameW(nullptr, program, 32768);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (length == 0 || length >= 32768 ||
        !CreateProcessW(program, wide(commandLine), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
        traceError("restart failed: %d", int(GetLastError()));
        return;
    }
    CloseHandle(started.hThread);
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD exitCode = DWORD(code);
    GetExitCodeProcess(started.hProcess, &exitCode);
    trace("restarted process ended with %d", int(exitCode));
    exitLauncher(exitCode);  // as every other end: the run directory goes with it
}

}  // namespace kestro
