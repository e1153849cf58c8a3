// Consoles: the console switches of a windowed launcher started from a console or
// without one, and launchers built as console programs. The parent is the fixture
// console_parent, run in a terminal that Wine makes its console, which reads back what
// that console shows.
#include "harness.h"

namespace kestro::e2e {
namespace {

using layout::JvmScript;

const std::string kReport = "An internal error occurred (error code: 16)";

class Console : public LauncherTest {
protected:
    // A launcher whose start fails after the switch scan (its only included file is cut
    // short), so that it makes one report; `type` 2 reports on standard error.
    fs::path failing(const std::string& name, const std::string& type) {
        set(key::ApplicationType, type);
        set(key::QuietSwitches, "1");
        set(key::ConsoleSwitch, "1");
        set(key::IncludedCount, "1");
        set(key::IncludedNames, "a.jar");
        return buildRaw(withRecords(head_, {"abc"}, 10), name);
    }

    struct ParentRun {
        RunResult run;
        std::string screen;  // what the parent's console shows afterwards
    };

    // Runs `exe` with `arguments` from console_parent in `mode` (own, inherit or none).
    ParentRun fromParent(const std::string& mode, const fs::path& exe, const std::string& arguments) {
        fs::path parent = fixturesDir() / "console_parent.exe";
        fs::path screen = dir_ / ("screen" + std::to_string(++runs_) + ".txt");
        std::string commandLine = "\"" + windowsPath(parent) + "\" " + mode + " " + windowsPath(screen) + " \"" +
                                  windowsPath(exe) + "\"" + (arguments.empty() ? "" : " " + arguments);
        RunResult r = run(exe, {.commandLine = commandLine, .application = parent, .trace = false, .terminal = true});
        return {r, fs::exists(screen) ? readBytes(screen) : "(no screen)"};
    }

    int runs_ = 0;
};

// The report reaches the console of the program that started the launcher; without a
// switch the windowed launcher has nowhere to write it.
TEST_F(Console, SwitchWritesTheReportIntoTheParentsConsole) {
    fs::path exe = failing("app.exe", "2");
    ParentRun console = fromParent("own", exe, "-console");
    EXPECT_EQ(console.run.exitCode, 1) << console.run.err;
    EXPECT_NE(console.screen.find(kReport + "\n"), std::string::npos) << console.screen;

    ParentRun plain = fromParent("own", exe, "");
    EXPECT_EQ(plain.run.exitCode, 1);
    EXPECT_EQ(plain.screen.find(kReport), std::string::npos) << plain.screen;
}

// "-c" is quiet and console at once: a windowed application's report leaves the box.
TEST_F(Console, QuietConsoleSwitchMovesAWindowedApplicationsReportThere) {
    ParentRun r = fromParent("own", failing("app.exe", "1"), "-c");
    EXPECT_EQ(r.run.exitCode, 1) << r.run.err;
    EXPECT_NE(r.screen.find(kReport + "\n"), std::string::npos) << r.screen;
}

// Without a console to attach to, the launcher makes one, and the VM finds its standard
// error there. (Wine without a display makes a console that has no window and refuses
// the console calls, so its handles show as a character device rather than a console.)
TEST_F(Console, WithoutAParentConsoleANewOneIsMade) {
    scriptJvm(dir_ / "jre", {.reportHost = true});
    set(key::ConsoleSwitch, "1");
    fs::path exe = buildLauncher();
    ParentRun r = fromParent("none", exe, "-console");
    EXPECT_EQ(r.run.exitCode, 0) << r.run.err;
    auto t = jvmTranscript(dir_ / "jre");
    std::vector<std::string> kind = t.values("stderr ");
    ASSERT_EQ(kind.size(), 1u) << t.text();
    EXPECT_TRUE(kind[0] == "console" || kind[0] == "character device") << kind[0];

    layOut("jre2");
    set(key::SearchList, "Rjre2");
    scriptJvm(dir_ / "jre2", {.reportHost = true});
    ParentRun plain = fromParent("none", buildLauncher("plain.exe"), "");
    EXPECT_EQ(plain.run.exitCode, 0) << plain.run.err;
    auto without = jvmTranscript(dir_ / "jre2");
    EXPECT_EQ(without.values("stderr "), std::vector<std::string>{"none"}) << without.text();
}

// A launcher built as a console program gets the prompt's console as it starts, with
// no switch: its report appears there, and a second console switch changes nothing.
TEST_F(Console, ConsoleProgramReportsIntoThePromptsConsole) {
    subsystem_ = format::kSubsystemWindowsCui;
    fs::path exe = failing("app.exe", "2");
    for (std::string arguments : {"", "-console"}) {
        ParentRun r = fromParent("inherit", exe, arguments);
        EXPECT_EQ(r.run.exitCode, 1) << arguments;
        EXPECT_NE(r.screen.find(kReport + "\n"), std::string::npos) << arguments << "\n" << r.screen;
    }
}

// From a command prompt, the exit code is the prompt's ERRORLEVEL and a quiet report
// goes to the prompt's standard error.
TEST_F(Console, ConsoleProgramsExitCodeIsThePromptsErrorLevel) {
    subsystem_ = format::kSubsystemWindowsCui;
    set(key::ApplicationType, "2");
    set(key::SearchList, "Rnowhere");
    fs::path exe = buildLauncher();
    fs::path batch = writeBytes(dir_ / "start.bat", "@echo off\r\n\"" + windowsPath(exe) +
                                                        "\"\r\necho errorlevel %ERRORLEVEL%\r\n");
    RunResult r =
        run(exe, {.commandLine = "C:\\windows\\system32\\cmd.exe /c \"" + windowsPath(batch) + "\"", .trace = false});
    EXPECT_EQ(r.out, "errorlevel 83\r\n");
    EXPECT_EQ(r.err, message(1016, "64") + "\n");
}

}  // namespace
}  // namespace kestro::e2e
