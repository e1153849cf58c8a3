// Where the first fatal report after the configuration goes: a message box, or standard
// error when the configuration or the quiet switches turn boxes off. Without a display a
// message box returns at once, so a boxed report shows as nothing on standard error.
#include "harness.h"
#include "work_files.h"

#include "format/config_keys.h"

namespace kestro::e2e {
namespace {

const std::string kReport = "An internal error occurred (error code: 16)";

class SwitchScan : public LauncherTest {
protected:
    // A launcher whose extraction fails: its only file's data is cut short.
    fs::path failingLauncher(const std::string& type, const std::string& quietSwitches, const std::string& console = "") {
        set(key::ApplicationType, type);
        set(key::QuietSwitches, quietSwitches);
        set(key::ConsoleSwitch, console);
        set(key::IncludedCount, "1");
        set(key::IncludedNames, "a.jar");
        return buildRaw(concat(format::serializeHead(head_), fileRecord("abc", 10)), "app" + std::to_string(++n_) + ".exe");
    }
    RunResult quietRun(const fs::path& exe, const std::string& arguments) {
        return run(exe, {.arguments = arguments, .trace = false});
    }
    int n_ = 0;
};

TEST_F(SwitchScan, ConsoleApplicationTypeReportsOnStandardError) {
    fs::path exe = failingLauncher("2", "0");
    RunResult plain = quietRun(exe, "");
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_EQ(plain.err, kReport + "\n");
    RunResult traced = run(exe);
    EXPECT_EQ(traced.err, kReport + "\n\nLog: " + windowsPath(*traced.traceFile) + "\n");
}

TEST_F(SwitchScan, InternalQuietCommandLineNeedsNoConfiguration) {
    fs::path exe = failingLauncher("1", "0");
    EXPECT_EQ(quietRun(exe, "-q_vlm_internal").err, kReport + "\n");
    EXPECT_EQ(quietRun(exe, "-q_vlm_internalx").err, kReport + "\n");  // it only has to begin so
    EXPECT_EQ(quietRun(exe, "x -q_vlm_internal").err, "");
}

TEST_F(SwitchScan, QuietSwitchesRouteReportsToStandardError) {
    fs::path exe = failingLauncher("1", "1");
    EXPECT_EQ(quietRun(exe, "").err, "");  // the box, which cannot show here
    for (const char* arguments : {"-q", "x -q y", "-c", "-c -q", "-console -q"}) {
        RunResult r = quietRun(exe, arguments);
        EXPECT_EQ(r.exitCode, 1) << arguments;
        EXPECT_EQ(r.err, kReport + "\n") << arguments;
    }
    for (const char* arguments : {"-Q", "-q ", "--q", "-qx", "-cq", "-console"}) {
        RunResult r = quietRun(exe, std::string("\"") + arguments + "\"");
        EXPECT_EQ(r.exitCode, 1) << arguments;
        EXPECT_EQ(r.err, "") << arguments;
    }
}

TEST_F(SwitchScan, QuietSwitchesNeedKey154) {
    for (const auto& [quiet, console] : {std::pair{"0", "0"}, std::pair{"0", "1"}}) {
        fs::path exe = failingLauncher("1", quiet, console);
        for (const char* arguments : {"-q", "-c", "-console"}) {
            RunResult r = quietRun(exe, arguments);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.err, "") << arguments << " with key 156 = " << console;
        }
    }
}

// Element 0 is the program as the command line writes it: only a command line that
// literally begins with "-q" makes it a switch.
TEST_F(SwitchScan, ProgramNameTakesPartByItsExactText) {
    fs::path exe = failingLauncher("1", "1");
    RunResult literal = run(exe, {.commandLine = "-q", .application = exe, .trace = false});
    EXPECT_EQ(literal.exitCode, 1);
    EXPECT_EQ(literal.err, kReport + "\n");
    fs::path named = dir_ / "-q.exe";
    fs::copy_file(exe, named);
    RunResult path = run(named, {.commandLine = "\"" + windowsPath(named) + "\"", .application = named, .trace = false});
    EXPECT_EQ(path.exitCode, 1);
    EXPECT_EQ(path.err, "");
}

}  // namespace
}  // namespace kestro::e2e
