// The internal reboot invocation, run in a Wine prefix of its own: restarting "the
// computer" there ends that prefix's session and runs its boot again, which must not
// disturb the prefix that the other tests share.
#include <chrono>
#include <thread>

#include "harness.h"

namespace kestro::e2e {
namespace {

// The prefix is made for the one test that restarts it, and its server stopped after.
struct PrivatePrefix {
    fs::path path;
    int script(const std::string& action) const {
        fs::path tool = fs::path(KESTRO_SOURCE_DIR) / "scripts" / "wine-prefix.sh";
        return std::system(("'" + tool.string() + "' " + action + " '" + path.string() + "' >/dev/null 2>&1").c_str());
    }
    ~PrivatePrefix() {
        script("down");
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

using Reboot = LauncherTest;

// Nothing but the restart: the configuration is not read (there is none) and no trace
// is written. The boot that follows the restart runs the prefix's RunOnce entries: this
// one leaves a file behind, which shows that the shutdown privilege was granted and the
// restart asked for.
TEST_F(Reboot, ExactCommandLineWaitsThenRestarts) {
    PrivatePrefix prefix{buildDir() / "wineprefix-reboot"};
    ASSERT_EQ(prefix.script("up"), 0);
    fs::path marker = dir_ / "restarted.txt";
    std::string reg = "env WINEPREFIX='" + prefix.path.string() + "' WINEDEBUG=-all /usr/lib/wine/wine64 reg add " +
                      "'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce' /v kestro /d " +
                      "'C:\\windows\\system32\\cmd.exe /c echo restarted> " + windowsPath(marker) +
                      "' /f >/dev/null 2>&1";
    ASSERT_EQ(std::system(reg.c_str()), 0);

    fs::path exe = buildRaw({});  // no block at all: reading it would be fatal
    auto started = std::chrono::steady_clock::now();
    RunResult r = run(exe, {.arguments = "__vlm_reboot", .unixEnv = {{"WINEPREFIX", prefix.path.string()}}});
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GE(seconds, 4.5);
    EXPECT_LE(seconds, 60.0);
    EXPECT_FALSE(r.traceFile) << r.trace;

    for (int i = 0; i < 600 && !fs::exists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(fs::exists(marker)) << "the prefix did not boot again";
}

}  // namespace
}  // namespace kestro::e2e
