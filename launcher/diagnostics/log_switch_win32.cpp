#include <windows.h>

#include "common/child_process.h"
#include "common/win32_handles.h"
#include "diagnostics/log_switch.h"
#include "diagnostics/message_box.h"
#include "diagnostics/trace.h"
#include "startup/launcher_state.h"
#include "workfiles/paths.h"

namespace kestro {

void offerLogExplorer() {
    if (!logSwitchGiven()) return;
    std::string logPath = traceLogPath().value_or("");
    // Asked whatever the configuration says about error boxes: the user asked for the log.
    std::string question =
        truncated("The following log file will be created:\n\n" + logPath + "\n\nDo you want to open an Explorer window?");
    if (messageBox(question, productWord(), MB_YESNO) != IDYES) return;

    // The short form keeps Explorer's command line free of spaces; without one the path
    // is passed as it is.
    std::string shortPath = shortPathName(logPath, MAX_PATH).value_or(logPath);
    std::string command = windowsDirectory(MAX_PATH);
    command += "\\explorer.exe /select,";
    command += shortPath;
    trace("calling %s", command.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!startChildProcess(nullptr, command, startup, started)) {
        trace("could not open explorer window %d", int(GetLastError()));
        return;
    }
    // Explorer runs on its own; the launcher neither waits for it nor keeps its handles.
    UniqueHandle process(started.hProcess), thread(started.hThread);
}

}  // namespace kestro
