#include <windows.h>

#include "common/win32_handles.h"
#include "diagnostics/log_switch.h"
#include "diagnostics/trace.h"
#include "startup/launcher_state.h"

namespace kestro {

namespace {

// The short form keeps Explorer's command line free of spaces; a path without one is
// passed as it is.
std::string shortPathOf(const std::string& path) {
    std::string out(MAX_PATH, '\0');
    DWORD n = GetShortPathNameA(path.c_str(), out.data(), MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return path;
    out.resize(n);
    return out;
}

std::string windowsDirectory() {
    std::string out(MAX_PATH, '\0');
    UINT n = GetWindowsDirectoryA(out.data(), MAX_PATH);
    out.resize(n < MAX_PATH ? n : 0);
    return out;
}

}  // namespace

void offerLogExplorer() {
    if (!logSwitchGiven()) return;
    std::string logPath = traceLogPath().value_or("");
    // Asked whatever the configuration says about error boxes: the user asked for the log.
    std::string question =
        truncated("The following log file will be created:\n\n" + logPath + "\n\nDo you want to open an Explorer window?");
    if (MessageBoxA(nullptr, question.c_str(), productWord(), MB_YESNO) != IDYES) return;

    std::string command = windowsDirectory() + "\\explorer.exe /select," + shortPathOf(logPath);
    trace("calling %s", command.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &started)) {
        trace("could not open explorer window %d", int(GetLastError()));
        return;
    }
    // Explorer runs on its own; the launcher neither waits for it nor keeps its handles.
    UniqueHandle process(started.hProcess), thread(started.hThread);
}

}  // namespace kestro
