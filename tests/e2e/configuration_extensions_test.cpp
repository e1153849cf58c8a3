// Settings teams bring from other launchers, each through a whole launcher run: heap
// sizes by the machine's memory, environment variables, the download link when no
// runtime is found, and the restart on chosen exit codes.
#include <algorithm>

#include "harness.h"

namespace kestro::e2e {
namespace {

using Extensions = LauncherTest;
using Texts = std::vector<std::string>;

// The shares become -Xmx and -Xms in megabytes of the machine's memory, after the
// launcher's properties and before the configured options, where an explicit -Xms wins.
TEST_F(Extensions, HeapSharesOfPhysicalMemoryComeBeforeTheConfiguredOptions) {
    set(key::MaxHeapPercent, "50");
    set(key::InitialHeapPercent, "10");
    set(key::MaxHeapLimitMb, "100000000");
    set(key::VmOptions, "-Xms16m");
    RunResult r = run(buildLauncher());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto traced = r.tracedAfter("heap by physical memory of ");
    ASSERT_TRUE(traced) << r.trace;
    long long physicalMb = std::stoll(*traced);
    ASSERT_GT(physicalMb, 0);
    const std::string xmx = "-Xmx" + std::to_string(physicalMb / 2) + "m";
    const std::string xms = "-Xms" + std::to_string(physicalMb / 10) + "m";
    EXPECT_EQ(*traced, std::to_string(physicalMb) + " MB: " + xmx + " " + xms);
    Texts options = vmOptions(jvmTranscript(dir_ / "jre"));
    auto at = std::ranges::find(options, xmx);
    ASSERT_NE(at, options.end()) << r.trace;
    EXPECT_EQ(std::vector<std::string>(at, at + 3), (Texts{xmx, xms, "-Xms16m"}));
    EXPECT_TRUE(at[-1].starts_with("-Dkestro.consoleCodepage=")) << at[-1];
}


// The variables are set in the launcher's process before the VM starts, in both views
// of the environment: a value may refer to the launcher's variables and, with "%NAME%",
// to the environment, including a variable set by an earlier line.
TEST_F(Extensions, EnvironmentVariablesReachTheVm) {
    useRuntime("jre", {.reportHost = true});
    set(key::Environment, "KESTRO_TEST_BIN=${launcher:sys.launcherDirectory}bin\n"
                          "PATH=%PATH%;%KESTRO_TEST_BIN%;%KESTRO_TEST_UNSET%");
    RunResult r = run(buildLauncher(), {.env = {{"PATH", "C:\\windows"}}});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string bin = windowsPath(dir_) + "\\bin";
    EXPECT_TRUE(r.traced("environment KESTRO_TEST_BIN=" + bin + " (set)")) << r.trace;
    auto t = jvmTranscript(dir_ / "jre");
    const std::string path = "C:\\windows;" + normalised(dir_ / "jre" / "bin") + ";" + bin + ";%KESTRO_TEST_UNSET%";
    EXPECT_EQ(t.values("PATH (system) "), Texts{path}) << t.text();
    EXPECT_EQ(t.values("PATH (runtime) "), Texts{path});
}

// No runtime, message boxes off: the link follows message 1016 on standard error and the
// exit code stays 83. Nothing is opened.
TEST_F(Extensions, TheDownloadLinkFollowsTheNoRuntimeMessage) {
    set(key::SearchList, "A" + windowsPath(dir_ / "none"));
    set(key::DownloadUrl, "https://example.com/java");
    set(msg::OpenDownloadUrl, "Open {0}?");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 83);
    EXPECT_EQ(r.err, r.reported(message(1016, "64") + "\nhttps://example.com/java"));
    EXPECT_FALSE(r.tracedPrefix("opening ")) << r.trace;
}

// An application that ends with a restart code starts again, a new process with the same
// arguments that becomes the first instance; after five restarts within a minute the code
// is returned as it is, with a trace line. The recording VM records each start, and ends
// each with System.exit(42) through the launcher's exit hook.
TEST_F(Extensions, ARestartCodeStartsTheLauncherAgainFiveTimesAtMost) {
    useRuntime("jre", {.mainExit = 42});
    set(key::RestartExitCodes, "3;42");
    set(key::SingleInstance, "1");
    RunResult r = run(buildLauncher(), {.arguments = "one \"two words\""});
    EXPECT_EQ(r.exitCode, 42) << r.err;
    // Each process writes a trace file of its own.
    int restarting = 0, refused = 0;
    for (const auto& entry : fs::directory_iterator(tmp_)) {
        if (!entry.path().filename().string().starts_with("vlm_nlog")) continue;
        std::string text = readBytes(entry.path());
        restarting += text.find("restarting after exit code 42") != std::string::npos;
        refused += text.find("no restart after exit code 42: 5 restarts within a minute already") != std::string::npos;
    }
    EXPECT_EQ(restarting, 5);
    EXPECT_EQ(refused, 1);
    auto t = jvmTranscript(dir_ / "jre");
    // Six starts, each the first instance (a second would have handed over instead).
    EXPECT_EQ(t.values("exit ").size(), 6u) << t.text();
    std::vector<std::string> arguments = t.values("argument ");
    EXPECT_EQ(std::ranges::count(arguments, "two words"), 6);
}

}  // namespace
}  // namespace kestro::e2e
