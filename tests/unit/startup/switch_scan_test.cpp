#include <gtest/gtest.h>

#include <string>

#include "startup/switch_scan.h"

namespace kestro {
namespace {

// What the scan did, in order: "q" for boxes switched off, "c" for a console opened.
std::string done;
bool consoleAvailable = true;

void disableBoxes() { done += 'q'; }
bool openConsole() {
    done += 'c';
    return consoleAvailable;
}

struct Scan {
    bool result;
    std::string done;
};

Scan scan(std::vector<Utf16> arguments, bool quietSwitches, bool console = true) {
    done.clear();
    consoleAvailable = console;
    bool result = scanSwitches(arguments, quietSwitches, {disableBoxes, openConsole});
    return {result, done};
}

TEST(SwitchScanRules, QuietConsoleSwitchEndsTheScanOrTheStart) {
    // "-c" opens the console after switching boxes off, and nothing after it is looked at.
    EXPECT_EQ(scan({u"app", u"-c", u"-console", u"-q"}, true).done, "qc");
    EXPECT_TRUE(scan({u"app", u"-c"}, true).result);
    // Without a console, "-c" ends the start; "-console" does not.
    Scan failed = scan({u"app", u"-c", u"-q"}, true, false);
    EXPECT_FALSE(failed.result);
    EXPECT_EQ(failed.done, "qc");
    Scan ignored = scan({u"app", u"-console", u"-q"}, true, false);
    EXPECT_TRUE(ignored.result);
    EXPECT_EQ(ignored.done, "cq");
}

TEST(SwitchScanRules, QuietSwitchesNeedTheirKey) {
    EXPECT_EQ(scan({u"-q", u"x", u"-c", u"-console"}, false, false).done, "c");
    EXPECT_TRUE(scan({u"-c"}, false, false).result);
    EXPECT_EQ(scan({u"-Q", u"-qx", u"-c ", u"--console"}, true).done, "");
}

}  // namespace
}  // namespace kestro
