#include <windows.h>

#include "common/text.h"
#include "config/config_tables.h"
#include "diagnostics/error_report.h"
#include "diagnostics/message_box.h"
#include "diagnostics/message_text.h"
#include "diagnostics/trace.h"
#include "splash/splash.h"
#include "startup/exit.h"
#include "workfiles/paths.h"

namespace kestro {

namespace {

struct ReportState {
    bool errorBoxesEnabled = true;
};

ReportState& state() {
    static ReportState s;
    return s;
}

}  // namespace

void disableErrorBoxes() { state().errorBoxesEnabled = false; }

namespace {

std::string withLogLine(const std::string& text) {
    if (auto log = traceLogPath()) return truncated(text + "\n\nLog: " + longPathName(*log).value_or(*log));
    return text;
}

}  // namespace

void showError(const std::string& text) {
    splashScreen(0);  // a report must not hide behind the splash image
    std::string report = withLogLine(text);
    if (state().errorBoxesEnabled)
        messageBox(report, lookupString(msg::Caption).c_str(), MB_OK | MB_ICONERROR);
    else
        writeStandardError(report += '\n');
}

bool askAfterError(const std::string& text, const std::string& question, const std::string& instead) {
    splashScreen(0);
    if (state().errorBoxesEnabled) {
        std::string box = withLogLine(truncated(text + "\n\n" + question));
        int answer = messageBox(box, lookupString(msg::Caption).c_str(), MB_YESNO | MB_ICONERROR);
        if (answer) return answer == IDYES;
        trace("no message box could be shown (%d)", int(GetLastError()));
    }
    std::string line = withLogLine(truncated(text + "\n" + instead));
    writeStandardError(line += '\n');
    return false;
}

void showMessage(MessageId id, const char* argument) { showError(fillPlaceholder(lookupString(id), argument)); }

void fatalError(const std::string& text) {
    showError(text);
    exitLauncher(1);
}

void fatalMessage(MessageId id, const char* argument) {
    showMessage(id, argument);
    exitLauncher(1);
}

}  // namespace kestro
