// The temporary directory as Windows meets it: its life after its launcher, on the real
// VM, which holds the class path's archives open; and a temporary path or a launcher
// directory with letters that the ANSI code page lacks (Wine's code page is 1252).
#include <algorithm>

#include "real_vm.h"

namespace kestro::e2e {
namespace {

// The directory that a run still running announced, as a Unix path.
fs::path runDirectoryOf(BackgroundRun& run) { return unixPath(announcedDirectory({.trace = run.traceText()})); }

using TemporaryDirectory = RealVmTest;

// A directory stays while its launcher runs, also when later starts overlap it; once the
// launcher has ended, normally, by a fatal report with the VM holding its archives, or
// killed, the next start removes it, unless the application kept it. No start leaves
// the empty file that reserved its directory's name.
TEST_F(TemporaryDirectory, LivesUntilTheNextStartAfterItsLauncherEnded) {
    auto first = start(launcher("first.exe", "listen:" + windowsPath(dir_)));
    ASSERT_TRUE(waitUntil([&] { return fs::exists(dir_ / "ready") || !first->running(); }, 120000));
    fs::path firstDir = runDirectoryOf(*first);
    ASSERT_TRUE(fs::exists(firstDir / "real_vm_app.jar")) << firstDir;

    RunResult threw = run(launcher("threw.exe", "throw"));
    EXPECT_EQ(threw.exitCode, 1) << threw.err;
    fs::path threwDir = unixPath(announcedDirectory(threw));
    EXPECT_TRUE(fs::exists(threwDir / "real_vm_app.jar")) << "the VM let its archives go: " << threw.trace;

    RunResult kept = run(launcher("kept.exe", "", "-Dkestro.keepTempDir=true"));
    EXPECT_EQ(kept.exitCode, 0) << kept.err;

    fs::path recording = useRuntime("recording", {.mainWaitFor = windowsPath(dir_ / "never")});
    auto killed = start(launcher("killed.exe", "", "", "recording"));
    ASSERT_TRUE(waitUntil([&] { return jvmTranscript(recording).has("main waits") || !killed->running(); }));
    fs::path killedDir = runDirectoryOf(*killed);
    killed->stop();
    EXPECT_TRUE(fs::exists(firstDir / "real_vm_app.jar"));  // the starts in between left it alone

    writeBytes(dir_ / "stop", "");
    EXPECT_EQ(first->wait().exitCode, 0);
    RunResult next = run(launcher("next.exe", ""));
    EXPECT_EQ(next.exitCode, 0) << next.err;
    std::vector<fs::path> left{unixPath(announcedDirectory(kept)), unixPath(announcedDirectory(next))};
    std::sort(left.begin(), left.end());
    EXPECT_EQ(runDirectories(tmp_), left) << next.trace << firstDir << "\n" << threwDir << "\n" << killedDir;
    EXPECT_TRUE(uniqueFiles(tmp_).empty());
}

// Paths with letters that the code page lacks.
class OutsideTheCodePage : public LauncherTest {};

// TMP under a directory whose name the code page cannot write: the files still go to the
// user's own TMP, through its short name, and so does the trace.
TEST_F(OutsideTheCodePage, ATemporaryPathIsUsedThroughItsShortName) {
    fs::path tmp = dir_ / "\xC5\x81ukasz";  // begins with an L with stroke
    fs::create_directories(tmp);
    set(key::IncludedCount, "1");
    set(key::IncludedNames, "a.jar");
    fs::path exe = buildLauncher("app.exe", {{"a.jar", writeBytes(dir_ / "a.jar", "alpha")}});
    RunResult r = run(exe, {.env = {{"TMP", windowsPath(tmp)}, {"TEMP", windowsPath(tmp)}}, .traceDir = tmp});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(r.traceFile) << "no trace in TMP";
    std::string dir = announcedDirectory(r);
    EXPECT_EQ(dir.find('?'), std::string::npos) << dir;
    EXPECT_EQ(readBytes(tmp / dir.substr(dir.rfind('\\') + 1) / "a.jar"), "alpha") << r.trace;
}

}  // namespace
}  // namespace kestro::e2e
