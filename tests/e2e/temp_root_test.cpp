// Choosing the temporary root and creating the run's directory below it, seen through
// whole launcher runs.
#include "harness.h"
#include "work_files.h"

#include "format/config_keys.h"

namespace kestro::e2e {
namespace {

class TempRoot : public LauncherTest {
protected:
    fs::path launcherWithAFile() {
        set(key::IncludedCount, "1");
        set(key::IncludedNames, "a.jar");
        return buildLauncher("app.exe", {{"a.jar", writeBytes(dir_ / "src" / "a.jar", "alpha")}});
    }
    RunResult runWithRoot(const fs::path& exe, const std::string& root, const fs::path& traceDir) {
        return run(exe, {.env = {{"TMP", root}, {"TEMP", root}}, .traceDir = traceDir});
    }
};

// The root does not exist and cannot be made, yet it is used as it is; the trace goes to
// c:\ as TMP names nothing. Every attempt names the root anew.
TEST_F(TempRoot, MissingAsciiRootIsUsedUnchanged) {
    fs::path driveC = buildDir() / "wineprefix" / "drive_c";
    std::string root = windowsPath(tmp_ / "no" / "such");
    RunResult r = runWithRoot(launcherWithAFile(), root, driveC);
    if (r.traceFile) fs::remove(*r.traceFile);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "An internal error occurred (error code: 7)");
    EXPECT_TRUE(r.traced("make dir returned -1")) << r.trace;
    EXPECT_EQ(countTraced(r, "tempPath is " + root + "\\"), 10);
    EXPECT_EQ(countTraced(r, "GetTempFileName failed (last error "), 10);
    EXPECT_EQ(countTraced(r, "Temp dir: " + root + "\\kst"), 10);
    EXPECT_FALSE(fs::exists(tmp_ / "no"));
}

// A root so long that the unique file fits in a path and the directory beside it does
// not: each of the ten attempts reserves one more unique file, then the start ends.
TEST_F(TempRoot, EveryAttemptLeavesOneEmptyUniqueFile) {
    std::string base = windowsPath(tmp_) + "\\";
    fs::path root = tmp_ / std::string(245 - 1 - base.size(), 'r');  // 245 with the backslash GetTempPath adds
    fs::create_directories(root);
    RunResult r = runWithRoot(launcherWithAFile(), windowsPath(root), root);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "An internal error occurred (error code: 7)\n\nLog: " + windowsPath(*r.traceFile) + "\n");
    EXPECT_EQ(countTraced(r, "GetTempPath returned "), 10);
    EXPECT_EQ(countTraced(r, "tempPath is " + windowsPath(root) + "\\"), 10);
    EXPECT_EQ(countTraced(r, "Could not create dir ("), 10) << r.trace;
    auto unique = uniqueFiles(root);
    EXPECT_EQ(unique.size(), 10u);
    for (const fs::path& file : unique) EXPECT_EQ(fs::file_size(file), 0u) << file;
    EXPECT_TRUE(runDirectories(root).empty());
}

}  // namespace
}  // namespace kestro::e2e
