// Where the first fatal report after the configuration goes: a message box, or standard
// error when the configuration or the quiet switches turn boxes off. Without a display a
// message box returns at once, so a boxed report shows as nothing on standard error.
#include "harness.h"

namespace kestro::e2e {
namespace {

const std::string kReport = "An internal error occurred (error code: 16)";

class SwitchScan : public LauncherTest {
protected:
    // A launcher whose extraction fails: its only file's data is cut short.
    fs::path failingLauncher(const std::string& type, const std::string& quiet, const std::string& console) {
        set(key::ApplicationType, type);
        set(key::QuietSwitches, quiet);
        set(key::ConsoleSwitch, console);
        set(key::IncludedCount, "1");
        set(key::IncludedNames, "a.jar");
        return buildRaw(withRecords(head_, {"abc"}, 10), "app" + type + quiet + console + ".exe");
    }
    // Whether the report of an untraced run reached standard error (or else went to a box).
    bool reportedOnStandardError(const fs::path& exe, RunOptions options) {
        options.trace = false;
        RunResult r = run(exe, options);
        EXPECT_EQ(r.exitCode, 1) << options.arguments;
        EXPECT_TRUE(r.err == "" || r.err == kReport + "\n") << r.err;
        return !r.err.empty();
    }
};

TEST_F(SwitchScan, ConsoleApplicationTypeReportsOnStandardError) {
    fs::path exe = failingLauncher("2", "0", "0");
    EXPECT_TRUE(reportedOnStandardError(exe, {}));
    RunResult traced = run(exe);
    EXPECT_EQ(traced.err, traced.reported(kReport));
}

// Keys 154 (quiet switches) and 156 (console switch) as a pair of digits.
TEST_F(SwitchScan, InternalCommandLineAndQuietSwitchesTurnBoxesOff) {
    std::map<std::string, fs::path> launchers;
    for (std::string keys : {"00", "01", "10"}) launchers[keys] = failingLauncher("1", keys.substr(0, 1), keys.substr(1));
    const struct {
        const char* keys;
        const char* arguments;
        bool onStandardError;
    } runs[] = {
        {"00", "", false},
        {"00", "-q_vlm_internal", true},
        {"00", "-q_vlm_internalx", true},  // the command line only has to begin so
        {"00", "x -q_vlm_internal", false},
        {"00", "-q", false},
        {"01", "-q", false},
        {"01", "-c", false},
        {"10", "-q", true},
        {"10", "x -q y", true},
        {"10", "-c", true},
        {"10", "-console -q", true},
        {"10", "\"-Q\"", false},
        {"10", "\"-q \"", false},
        {"10", "-qx", false},
        {"10", "-cq", false},
        {"10", "-console", false},
    };
    for (const auto& r : runs)
        EXPECT_EQ(reportedOnStandardError(launchers.at(r.keys), {.arguments = r.arguments}), r.onStandardError)
            << r.keys << " " << r.arguments;
}

// Element 0 is the program as the command line writes it: only a command line that
// literally begins with "-q" makes it a switch.
TEST_F(SwitchScan, ProgramNameTakesPartByItsExactText) {
    fs::path exe = failingLauncher("1", "1", "0");
    EXPECT_TRUE(reportedOnStandardError(exe, {.commandLine = "-q", .application = exe}));
    fs::path named = dir_ / "-q.exe";
    fs::copy_file(exe, named);
    EXPECT_FALSE(reportedOnStandardError(named, {.commandLine = "\"" + windowsPath(named) + "\"", .application = named}));
}

}  // namespace
}  // namespace kestro::e2e
