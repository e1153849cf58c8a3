// Where the first fatal report after the configuration goes: a message box, or standard
// error when the configuration or the quiet switches turn boxes off (without a display a
// message box returns at once, so a boxed report shows as nothing on standard error); and
// consoles: the console switches of a windowed launcher started from a console or
// without one, and launchers built as console programs. The runner plays the command
// prompt, in a terminal that Wine makes its console, and reads back what that console
// shows.
#include "harness.h"

namespace kestro::e2e {
namespace {

const std::string kReport = "An internal error occurred (error code: 16)\n";

class FailingLauncherTest : public LauncherTest {
protected:
    // A launcher whose start fails after the switch scan (its only included file is cut
    // short), so that it makes one report; `type` 2 reports on standard error. `quiet`
    // and `console` are keys 154 (quiet switches) and 156 (console switch).
    fs::path failing(const std::string& name, const std::string& type, const std::string& quiet = "1",
                     const std::string& console = "1") {
        set(key::ApplicationType, type);
        set(key::QuietSwitches, quiet);
        set(key::ConsoleSwitch, console);
        set(key::IncludedCount, "1");
        set(key::IncludedNames, "a.jar");
        return buildRaw(withRecords(head_, {"abc"}, 10), name);
    }
};

class SwitchScan : public FailingLauncherTest {
protected:
    // Whether the report of an untraced run reached standard error (or else went to a box).
    bool reportedOnStandardError(const fs::path& exe, RunOptions options) {
        options.trace = false;
        RunResult r = run(exe, options);
        EXPECT_EQ(r.exitCode, 1) << options.arguments;
        EXPECT_TRUE(r.err == "" || r.err == kReport) << r.err;
        return !r.err.empty();
    }
};

// Keys 154 and 156 as a pair of digits. The internal quiet command line is looked for on
// the raw command line, which only has to begin with it; the switches are looked for
// among the arguments, element 0 as the command line writes it included. (Which texts and
// keys count is the native tests'.)
TEST_F(SwitchScan, QuietCommandLinesAndSwitchesTurnBoxesOff) {
    std::map<std::string, fs::path> launchers;
    for (std::string keys : {"00", "01", "10"})
        launchers[keys] = failing("app" + keys + ".exe", "1", keys.substr(0, 1), keys.substr(1));
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
    EXPECT_TRUE(reportedOnStandardError(failing("app200.exe", "2", "0", "0"), {}));
}

class Console : public FailingLauncherTest {
protected:
    // Runs `exe` with `arguments` as a command prompt in `console` would (own, inherit or
    // none); the exit code, and what the prompt's console shows afterwards.
    std::pair<int, std::string> fromPrompt(const std::string& console, const fs::path& exe,
                                           const std::string& arguments) {
        fs::path screen = dir_ / ("screen" + std::to_string(++runs_) + ".txt");
        RunResult r = run(exe, {.arguments = arguments, .trace = false, .terminal = true, .console = console,
                                .screen = console == "none" ? std::nullopt : std::optional(screen)});
        return {r.exitCode, fs::exists(screen) ? readBytes(screen) : "(no screen)"};
    }

    int runs_ = 0;
};

// The report reaches the console of the prompt that started the launcher: through
// "-console", or "-c" (quiet and console at once: a windowed application's report leaves
// the box), and for a console program through the console it starts with, where a
// further switch changes nothing. Without a switch the windowed launcher has nowhere to
// write it.
TEST_F(Console, ReportsReachTheParentsConsole) {
    const struct {
        const char* type;
        uint16_t subsystem;
        const char *mode, *arguments;
        bool onScreen;
    } cases[] = {
        {"2", format::kSubsystemWindowsGui, "own", "-console", true},
        {"2", format::kSubsystemWindowsGui, "own", "", false},
        {"1", format::kSubsystemWindowsGui, "own", "-c", true},
        {"2", format::kSubsystemWindowsCui, "inherit", "", true},
        {"2", format::kSubsystemWindowsCui, "inherit", "-console", true},
    };
    for (const auto& c : cases) {
        subsystem_ = c.subsystem;
        auto [exitCode, screen] = fromPrompt(c.mode, failing(std::to_string(runs_) + ".exe", c.type), c.arguments);
        EXPECT_EQ(exitCode, 1) << c.arguments;
        EXPECT_EQ(screen.find(kReport) != std::string::npos, c.onScreen)
            << c.mode << " " << c.arguments << "\n" << screen;
    }
}

// Without a console to attach to, the launcher makes one, and the VM finds its standard
// error there. (Wine without a display makes a console that has no window and refuses
// the console calls, so its handles show as a character device rather than a console.)
TEST_F(Console, WithoutAParentConsoleANewOneIsMade) {
    set(key::ConsoleSwitch, "1");
    for (std::string arguments : {"-console", ""}) {
        fs::path home = useRuntime("jre" + arguments, {.reportHost = true});
        EXPECT_EQ(fromPrompt("none", buildLauncher("app" + arguments + ".exe"), arguments).first, 0);
        std::vector<std::string> kind = jvmTranscript(home).values("stderr ");
        ASSERT_EQ(kind.size(), 1u) << jvmTranscript(home).text();
        if (arguments.empty()) EXPECT_EQ(kind[0], "none");
        else EXPECT_TRUE(kind[0] == "console" || kind[0] == "character device") << kind[0];
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
