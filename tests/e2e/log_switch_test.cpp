// The log creation switch: a first argument that turns the trace on, and the question
// whether to show the trace file in Explorer.
#include "display.h"
#include "harness.h"

#include <future>

namespace kestro::e2e {
namespace {

using LogSwitch = LauncherTest;

// Without a display the question cannot be answered Yes: nothing is started. The native
// tests show the spellings and places that are not the switch.
TEST_F(LogSwitch, EachFormAsFirstArgumentTurnsTheTraceOnOnce) {
    fs::path exe = buildLauncher();
    int n = 2;
    for (const char* form : {"-create-vlm-log", "-create-kst-log", "/create-vlm-log", "/create-kst-log"}) {
        // With the variable set too, there is still one trace file.
        RunResult r = run(exe, {.arguments = std::string(form) + " x", .trace = n == 2});
        EXPECT_EQ(r.exitCode, 0) << form;
        ASSERT_TRUE(r.traceFile) << form;
        EXPECT_EQ(r.traceFile->filename(), "vlm_nlog_" + std::to_string(n++)) << form;
        EXPECT_FALSE(r.tracedPrefix("calling ")) << form;
    }
}

// Answering needs a display. Both answers run on one display and prefix, one after the
// other: a second display would fight the first over that prefix's desktop.
class LogExplorer : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        if (!display_.ok() || display_.winePrefix().empty()) GTEST_SKIP() << "no virtual display (Xvfb, xdotool)";
    }
    // Runs with the display while the box captioned `caption` is answered with `key`.
    RunResult answered(const fs::path& exe, const std::string& arguments, const std::string& caption,
                       const std::string& key) {
        RunOptions options{.arguments = arguments, .trace = false};
        options.unixEnv = {{"DISPLAY", display_.name()}, {"WINEPREFIX", display_.winePrefix()}};
        auto running = std::async(std::launch::async, [&] { return run(exe, options); });
        EXPECT_TRUE(display_.answer(caption, key)) << "no box captioned " << caption;
        return running.get();
    }
    VirtualDisplay display_;
};

TEST_F(LogExplorer, NoStartsNothingAndYesStartsExplorerOnTheShortPath) {
    set(key::Flavour, "k");
    RunResult no = answered(buildLauncher("kestro.exe"), "/create-vlm-log", "kestro", "n");
    EXPECT_EQ(no.exitCode, 0);
    ASSERT_TRUE(no.traceFile);
    EXPECT_FALSE(no.tracedPrefix("calling "));

    set(key::Flavour, "v");  // the caption follows the flavour, not the switch's spelling
    RunResult yes = answered(buildLauncher("velmora.exe"), "-create-kst-log", "velmora", "Return");
    EXPECT_EQ(yes.exitCode, 0);
    ASSERT_TRUE(yes.traceFile);
    std::string command = yes.tracedAfter("calling ").value_or("");
    std::string start = "C:\\windows\\explorer.exe /select,";
    ASSERT_EQ(command.rfind(start, 0), 0u) << yes.trace;
    std::string shortPath = command.substr(start.size());
    EXPECT_NE(shortPath, windowsPath(*yes.traceFile));  // "vlm_nlog_3" is no 8.3 name
    EXPECT_EQ(shortPath.find(' '), std::string::npos);
    EXPECT_EQ(shortPath.rfind("Z:\\", 0), 0u);
    EXPECT_FALSE(yes.tracedPrefix("could not open explorer window"));
}

}  // namespace
}  // namespace kestro::e2e
