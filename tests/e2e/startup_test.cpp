// The start-up sequence seen from outside: special command lines, the order of the
// first steps, the working directory.
#include "harness.h"

#include "format/config_keys.h"

namespace kestro::e2e {
namespace {

class Startup : public LauncherTest {};

TEST_F(Startup, RebootCommandLineReturnsAtOnceWithoutReadingTheConfiguration) {
    fs::path exe = buildRaw({});  // no block at all: reading it would be fatal
    RunResult reboot = run(exe, {.arguments = "__vlm_reboot"});
    EXPECT_EQ(reboot.exitCode, 0);
    EXPECT_FALSE(reboot.traceFile);

    RunResult normal = run(exe, {.arguments = "__vlm_reboot x"});
    EXPECT_EQ(normal.exitCode, 1);
    EXPECT_TRUE(normal.tracedPrefix("number of sections: "));
}

TEST_F(Startup, NormalStartReadsTheBlockAndEndsWithZero) {
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_TRUE(r.traceFile);
    EXPECT_EQ(r.traceFile->filename(), "vlm_nlog_2");
    EXPECT_TRUE(r.traced("working directory unchanged"));
}

TEST_F(Startup, WorkingDirectoryIsResolvedAgainstTheLauncherKeepingCase) {
    fs::create_directories(dir_ / "Work" / "Sub");
    set(key::WorkingDirectory, "Work\\.\\Sub\\..");
    RunResult r = run(buildLauncher(), {.cwd = tmp_});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.traced("change working directory to " + windowsPath(dir_ / "Work"))) << r.trace;
}

TEST_F(Startup, LanguageRestartKeepsTheInheritedDirectory) {
    set(key::WorkingDirectory, "..");
    RunResult r = run(buildLauncher(), {.arguments = "__vlm_lang_restart"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.traced("working directory unchanged"));
    for (const auto& line : r.traceLines()) EXPECT_EQ(line.find("change working directory"), std::string::npos);
}

}  // namespace
}  // namespace kestro::e2e
