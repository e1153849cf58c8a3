// A variable in the configured working directory, expanded from the real environment.
// Nothing in the launcher opens a path relative to the current directory yet, so the
// trace shows the directory that became current.
#include "harness.h"

#include "format/config_keys.h"

namespace kestro::e2e {
namespace {

class VariableExpansion : public LauncherTest {};

TEST_F(VariableExpansion, WorkingDirectoryFromAnEnvironmentVariable) {
    fs::create_directories(dir_ / "Work Root" / "sub");
    const std::string root = windowsPath(dir_ / "Work Root");
    set(key::WorkingDirectory, "${WORKROOT}\\sub");
    // Named in mixed case: the upper-cased reference finds it too.
    RunResult r = run(buildLauncher(), {.env = {{"WorkRoot", root}}, .cwd = tmp_});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.traced("expanding ${WORKROOT} to " + root + " in " + root + "\\sub.")) << r.trace;
    EXPECT_TRUE(r.traced("change working directory to " + root + "\\sub")) << r.trace;
    EXPECT_TRUE(fs::is_directory(dir_ / "Work Root" / "sub"));
}

}  // namespace
}  // namespace kestro::e2e
