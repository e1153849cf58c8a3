// Running real launchers under Wine: build a launcher from a block, run it with an exact
// command line, environment and current directory, read back its exit code, standard
// error and trace file.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <sys/types.h>

#include <gtest/gtest.h>

#include "format/block_writer.h"
#include "format/config_keys.h"
#include "format/resource_section.h"
#include "support/runtime_layout.h"

namespace kestro::e2e {

namespace fs = std::filesystem;

// The build and source trees, and the real VM's directory (empty without a snapshot, and
// then why). Only harness.cpp has them compiled in, so that the other files compile the
// same in every checkout.
fs::path buildDir();
fs::path sourceDir();
fs::path avianDir();
std::string avianUnavailable();
fs::path stubPath();
fs::path fixturesDir();  // the Windows build's stand-ins

// The Windows name of a Unix path (Wine maps / to Z:), and as the candidate checks
// normalise it (lower-cased); unixPath is the way back.
std::string windowsPath(const fs::path& path);
std::string normalised(const fs::path& path);
fs::path unixPath(const std::string& windowsPath);
std::string javaOf(const fs::path& home);  // normalised bin\java.exe of a runtime
// The instance semaphore's name without its number: the executable's normalised path with
// "_" for every backslash and blank, in the session's namespace or the machine's.
std::string instanceName(const fs::path& exe, bool global = false);

// The standard output of a shell command.
std::string capture(const std::string& command);
std::string readBytes(const fs::path& path);
// Writes `content` to `path` (creating its directory) and returns the path.
fs::path writeBytes(const fs::path& path, const std::string& content);

// The English text of message `key` as the build tool writes it by default, with its
// first placeholder filled.
std::string message(format::ConfigKey key, const std::string& argument = "");

struct RunOptions {
    std::string arguments;                   // appended to the quoted executable path
    std::optional<std::string> commandLine;  // the complete raw command line instead
    std::optional<fs::path> application;     // the program to start, when commandLine does not begin with it
    std::map<std::string, std::optional<std::string>> env;  // Windows variables; nullopt unsets
    std::map<std::string, std::string> unixEnv;             // for Wine itself (LC_ALL, DISPLAY)
    std::optional<fs::path> cwd;                            // default: the test's directory
    bool trace = true;                                      // KESTRO_LOG=yes
    std::optional<fs::path> lockedFile;                     // held open with delete access during the run
    std::optional<fs::path> traceDir;                       // where the trace file appears; default: tmp/
    // Wine runs in a terminal, which it makes the console of the programs started;
    // `out` then holds what the terminal showed, and `err` stays empty.
    bool terminal = false;
    // In a terminal: the program starts as from a command prompt (see envrun.cpp,
    // "console"), "own", "inherit" or "none"; what the console shows afterwards goes to
    // the file `screen`.
    std::string console;
    std::optional<fs::path> screen;
    // The show-window code the program starts with (STARTUPINFO); default: Windows' own.
    std::optional<int> showWindow;
};

struct RunResult {
    int exitCode = -1;
    std::string out, err;
    std::optional<fs::path> traceFile;  // the trace file this run created
    std::string trace;                  // its text, line ends as "\n"

    std::vector<std::string> traceLines() const;
    layout::VmTranscript transcript() const { return {traceLines()}; }
    bool traced(const std::string& line) const { return traceIndex(line) >= 0; }  // a whole line
    // Index of the first line equal to `line` at or after `from`, or -1.
    int traceIndex(const std::string& line, int from = 0) const { return transcript().index(line, from); }
    // The rest of the first line that begins with `prefix`, if there is one.
    std::optional<std::string> tracedAfter(const std::string& prefix) const;
    bool tracedPrefix(const std::string& prefix) const { return tracedAfter(prefix).has_value(); }
    int countTraced(const std::string& prefix) const { return int(transcript().values(prefix).size()); }
    // A report as it reaches standard error while tracing: the text, then the trace file.
    std::string reported(const std::string& text) const;
};

// n bytes in which every byte value occurs, in an order that does not repeat every 256.
std::string everyByteValue(size_t n);

// A block followed by included files' records as the block stores them: the 8-byte
// size (for the last one `lastDeclaredSize` when given), then the bytes scrambled.
std::vector<uint8_t> withRecords(const format::BlockHead& head, const std::vector<std::string>& contents,
                                 int64_t lastDeclaredSize = -1);

// The run directories ("kst....tmp_dir..."), the unique files ("kst....tmp") and the
// notification files of hand-overs ("kst_p....tmp") in a root, and the run's directory as
// its trace announced it ("Temp dir: ").
std::vector<fs::path> runDirectories(const fs::path& root);
std::vector<fs::path> uniqueFiles(const fs::path& root);
std::vector<fs::path> notificationFiles(const fs::path& root);
std::string announcedDirectory(const RunResult& r);

// Each line of `lines` is in `r`'s trace, after the one before it.
void expectInOrder(const RunResult& r, const std::vector<std::string>& lines);

// Polls `condition` every 20 ms until it holds (true) or `timeoutMs` has passed (false).
// For waiting on what another process does; never a substitute for its result.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 60000);

// A Windows program running under the test prefix's Wine, started through the runner
// (tests/fixtures/envrun.cpp), which ends it after 60 s. When it is a launcher of a test
// (LauncherTest::start), its trace file is the one new trace file in the trace directory
// that no other run of the test has claimed: a test that starts two background runs lets
// the first claim its trace (waitForTraceLine, traceText) before it starts the second.
class BackgroundRun {
public:
    BackgroundRun(const fs::path& exe, const RunOptions& options, const fs::path& workDir,
                  std::optional<fs::path> traceDir = std::nullopt, std::set<fs::path>* claimedTraces = nullptr);
    ~BackgroundRun();  // stops the program if it still runs
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    bool running();
    // Waits for the end and reads the result.
    RunResult wait();
    // Terminates the program inside Wine, as ending it in the task manager would (exit
    // code 137, nothing of the program runs any more), and waits for the runner.
    RunResult stop();

    // The trace so far ("" before there is one), and a wait until it holds `line` (a
    // whole line); false when the time ran out or the program ended without it.
    std::string traceText();
    bool waitForTraceLine(const std::string& line, int timeoutMs = 60000);

private:
    bool claimTrace();

    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = 0;
    fs::path plan_, out_, err_, stopFile_;
    std::optional<fs::path> traceDir_;
    std::set<fs::path>* claimedTraces_;
    std::set<fs::path> tracesBefore_;
    std::optional<fs::path> traceFile_;
};

// A stand-in runtime whose VM library loads (bin\server\jvm.dll).
inline layout::RuntimeLayout loadable(const std::string& version = "1.8.0_201") {
    return {.version = version, .vmLibraries = {"bin/server/jvm.dll"}};
}

// The VM library of a runtime laid out as by loadable() (bin\server\jvm.dll), and what
// it recorded.
inline fs::path vmLibraryOf(const fs::path& home) { return home / "bin" / "server" / "jvm.dll"; }
inline layout::VmTranscript jvmTranscript(const fs::path& home) { return layout::vmLibraryTranscript(vmLibraryOf(home)); }
// The options the recording VM library was created with, in order.
inline std::vector<std::string> vmOptions(const layout::VmTranscript& t) { return t.values("option "); }

// What the stand-in splash library of a runtime (bin\splashscreen.dll) recorded (see
// tests/fixtures/splash/splash_stand_in.cpp).
inline layout::VmTranscript splashTranscript(const fs::path& home) {
    return layout::vmLibraryTranscript(home / "bin" / "splashscreen.dll");
}

// A test with its own fresh directory (build/e2e/<suite>/<test>) whose tmp/ is TMP. The
// block starts with the default messages and the search list "Rjre", which finds the
// stand-in runtime laid out in jre/ (version 1.8.0_201, bin\server\jvm.dll).
class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Sets a byte-string entry of the block under construction.
    void set(format::ConfigKey key, const std::string& value);
    // Lays out a stand-in runtime in the test's directory.
    fs::path layOut(const std::string& name, const layout::RuntimeLayout& runtime = loadable());
    // Lays out a runtime in `name`, scripts its VM library and makes it the one found, so
    // that each case of a test can have a runtime, and a transcript, of its own.
    fs::path useRuntime(const std::string& name, const layout::JvmScript& script = {},
                        const layout::RuntimeLayout& runtime = loadable());

    // Writes a launcher carrying head_ (and the files) and resources_ into the test
    // directory. Each launcher of a test has a name of its own: a file is never rebuilt
    // in place.
    fs::path buildLauncher(const std::string& name = "app.exe", const std::vector<format::IncludedFile>& files = {});
    // Writes the stub followed by `tail` exactly as given (a hand-made or broken block).
    fs::path buildRaw(const std::vector<uint8_t>& tail, const std::string& name = "app.exe");

    RunResult run(const fs::path& exe, RunOptions options = {}) { return start(exe, std::move(options))->wait(); }
    // Starts `exe` as run() would, without waiting for it.
    std::unique_ptr<BackgroundRun> start(const fs::path& exe, RunOptions options = {});

    fs::path dir_;
    fs::path tmp_;
    format::BlockHead head_;
    uint16_t subsystem_ = format::kSubsystemWindowsGui;  // of the launchers built from now on
    std::vector<format::Resource> resources_;             // likewise: the resource section, if any

private:
    format::Stub stub();
    std::set<std::string> builtNames_;
    std::set<fs::path> claimedTraces_;  // trace files that runs of this test took as theirs
};

}  // namespace kestro::e2e
