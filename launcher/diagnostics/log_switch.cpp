#include "diagnostics/log_switch.h"

#include "diagnostics/trace.h"

namespace kestro {

namespace {

struct LogSwitchState {
    bool given = false;
};

LogSwitchState& state() {
    static LogSwitchState s;
    return s;
}

}  // namespace

bool isLogSwitch(Utf16View argument) {
    // Both product names and both switch characters work in either flavour.
    return argument == u"-create-vlm-log" || argument == u"-create-kst-log" || argument == u"/create-vlm-log" ||
           argument == u"/create-kst-log";
}

void checkLogSwitch(std::vector<Utf16>& arguments) {
    if (arguments.size() < 2 || !isLogSwitch(arguments[1])) return;
    arguments.erase(arguments.begin() + 1);  // the application never sees it
    state().given = true;
    requestLogCreation();
}

bool logSwitchGiven() { return state().given; }

}  // namespace kestro
