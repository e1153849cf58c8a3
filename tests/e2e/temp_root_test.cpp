// Creating the run's directory below the temporary root, seen through a whole launcher
// run; the choice of the root is shown by the tests under Wine of the same functions.
#include "harness.h"

namespace kestro::e2e {
namespace {

using TempRoot = LauncherTest;

// A root so long that the unique file fits in a path and the directory beside it does
// not: each of the ten attempts selects the root anew and reserves one more unique file,
// then the start ends.
TEST_F(TempRoot, EveryAttemptLeavesOneEmptyUniqueFile) {
    set(key::IncludedCount, "1");
    set(key::IncludedNames, "a.jar");
    fs::path exe = buildLauncher("app.exe", {{"a.jar", writeBytes(dir_ / "src" / "a.jar", "alpha")}});
    std::string base = windowsPath(tmp_) + "\\";
    fs::path root = tmp_ / std::string(245 - 1 - base.size(), 'r');  // 245 with the backslash GetTempPath adds
    fs::create_directories(root);
    RunResult r = run(exe, {.env = {{"TMP", windowsPath(root)}, {"TEMP", windowsPath(root)}}, .traceDir = root});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1009, "7")));
    EXPECT_EQ(r.countTraced("GetTempPath returned "), 10);
    EXPECT_EQ(r.countTraced("tempPath is " + windowsPath(root) + "\\"), 10);
    EXPECT_EQ(r.countTraced("Could not create dir ("), 10) << r.trace;
    auto unique = uniqueFiles(root);
    EXPECT_EQ(unique.size(), 10u);
    for (const fs::path& file : unique) EXPECT_EQ(fs::file_size(file), 0u) << file;
    EXPECT_TRUE(runDirectories(root).empty());
}

}  // namespace
}  // namespace kestro::e2e
