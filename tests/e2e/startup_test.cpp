// The start-up sequence seen from outside: special command lines and the working
// directory.
#include "harness.h"

namespace kestro::e2e {
namespace {

using Startup = LauncherTest;

// The exact reboot command line restarts Wine's session, so it runs in a prefix of its
// own (reboot_test.cpp); with a further argument it is an ordinary start.
TEST_F(Startup, RebootWordWithAFurtherArgumentIsANormalStart) {
    fs::path exe = buildRaw({});  // no block at all: reading it is fatal
    RunResult normal = run(exe, {.arguments = "__vlm_reboot x"});
    EXPECT_EQ(normal.exitCode, 1);
    EXPECT_TRUE(normal.tracedPrefix("number of sections: "));
}

// Trace records are appended by reopening the file by name; a relative TMP is made
// absolute once, so the change of directory does not split the trace.
TEST_F(Startup, WorkingDirectoryIsResolvedAgainstTheLauncherKeepingCase) {
    fs::create_directories(dir_ / "Work" / "Sub");
    fs::create_directories(tmp_ / "tmp");
    set(key::WorkingDirectory, "Work\\.\\Sub\\..");
    RunResult r = run(buildLauncher(), {.env = {{"TMP", "tmp"}}, .cwd = tmp_, .traceDir = tmp_ / "tmp"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.traced("change working directory to " + windowsPath(dir_ / "Work"))) << r.trace;
    EXPECT_FALSE(fs::exists(dir_ / "Work" / "tmp" / "vlm_nlog_2"));

    // A restart for a language change keeps the directory it inherited.
    RunResult restart = run(buildLauncher("restart.exe"), {.arguments = "__vlm_lang_restart"});
    EXPECT_EQ(restart.exitCode, 0);
    EXPECT_FALSE(restart.tracedPrefix("change working directory"));
    EXPECT_FALSE(restart.traced("working directory unchanged"));
}

// Nothing in the launcher opens a path relative to the current directory yet, so the
// trace shows the directory that became current.
TEST_F(Startup, WorkingDirectoryFromAnEnvironmentVariable) {
    fs::create_directories(dir_ / "Work Root" / "sub");
    const std::string root = windowsPath(dir_ / "Work Root");
    set(key::WorkingDirectory, "${WORKROOT}\\sub");
    // Named in mixed case: the upper-cased reference finds it too.
    RunResult r = run(buildLauncher(), {.env = {{"WorkRoot", root}}, .cwd = tmp_});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.traced("expanding ${WORKROOT} to " + root + " in " + root + "\\sub.")) << r.trace;
    EXPECT_TRUE(r.traced("change working directory to " + root + "\\sub")) << r.trace;
}

}  // namespace
}  // namespace kestro::e2e
