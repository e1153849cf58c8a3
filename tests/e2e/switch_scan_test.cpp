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

// Keys 154 (quiet switches) and 156 (console switch) as a pair of digits. The internal
// quiet command line is looked for on the raw command line, which only has to begin with
// it; the switches are looked for among the arguments, element 0 as the command line
// writes it included. (Which texts and keys count is the native tests'.)
TEST_F(SwitchScan, QuietCommandLinesAndSwitchesTurnBoxesOff) {
    std::map<std::string, fs::path> launchers;
    for (std::string keys : {"00", "01", "10"})
        launchers[keys] = failingLauncher("1", keys.substr(0, 1), keys.substr(1));
    const struct {
        const char* keys;
        std::optional<std::string> commandLine;  // the whole raw command line, if not the arguments
        const char* arguments;
        bool onStandardError;
    } runs[] = {
        {"00", {}, "", false},
        {"00", {}, "-q_vlm_internalx", true},
        {"00", {}, "x -q_vlm_internal", false},
        {"01", {}, "-q", false},
        {"10", {}, "x -q y", true},
        {"10", "-q", "", true},
    };
    for (const auto& r : runs) {
        const fs::path& exe = launchers.at(r.keys);
        RunOptions options{.arguments = r.arguments, .commandLine = r.commandLine};
        if (r.commandLine) options.application = exe;
        EXPECT_EQ(reportedOnStandardError(exe, options), r.onStandardError)
            << r.keys << " " << r.commandLine.value_or(r.arguments);
    }
    // An application type that is not windowed reports on standard error of itself.
    EXPECT_TRUE(reportedOnStandardError(failingLauncher("2", "0", "0"), {}));
}

}  // namespace
}  // namespace kestro::e2e
