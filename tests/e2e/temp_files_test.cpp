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

// The runtime library alone goes to the user's cache (LOCALAPPDATA\Kestro\runtime), one
// file per content, and no start makes a run directory for it; a cached copy that
// differs from the launcher's is replaced before use.
using RuntimeLibraryCache = LauncherTest;

TEST_F(RuntimeLibraryCache, TheLibraryAloneMakesNoRunDirectory) {
    set(key::IncludedCount, "1");
    set(key::IncludedNames, "kestro-runtime.jar");
    fs::path exe = buildLauncher("app.exe", {{"kestro-runtime.jar", writeBytes(dir_ / "rt.jar", "the library")}});
    fs::path local = dir_ / "local";
    fs::create_directories(local);
    fs::path cache = local / "Kestro" / "runtime";
    auto cached = [&] {
        std::vector<fs::path> files;
        if (fs::exists(cache))
            for (const auto& entry : fs::directory_iterator(cache)) files.push_back(entry.path());
        return files;
    };
    for (const char* before : {"", "the library", "damaged"}) {
        if (*before) writeBytes(cached().at(0), before);
        RunResult r = run(exe, {.env = {{"LOCALAPPDATA", windowsPath(local)}}});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        ASSERT_EQ(cached().size(), 1u) << r.trace;
        EXPECT_EQ(readBytes(cached()[0]), "the library");
        EXPECT_TRUE(!r.tracedPrefix("Temp dir: ") && runDirectories(tmp_).empty()) << r.trace;
        std::string name = cached()[0].filename().string();
        EXPECT_TRUE(name.starts_with("kestro-runtime-") && name.ends_with(".jar")) << name;
        std::string path = windowsPath(local) + "\\Kestro\\runtime\\" + name;
        EXPECT_TRUE(r.traced(std::string(*before == 'd' || !*before ? "runtime library written to " : "runtime library ") + path))
            << r.trace;
        std::vector<std::string> options = vmOptions(jvmTranscript(dir_ / "jre"));
        EXPECT_TRUE(std::ranges::any_of(options, [&](const std::string& o) {
            return o.starts_with("-Djava.class.path=") && o.find(path) != std::string::npos;
        })) << jvmTranscript(dir_ / "jre").text();
    }
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
