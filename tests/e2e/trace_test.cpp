// The trace file: when it is written, where, and what it holds.
#include "harness.h"

namespace kestro::e2e {
namespace {

using Trace = LauncherTest;

// Each variable turns it on; the file is numbered from 2 in TMP.
TEST_F(Trace, OffUnlessAVariableIsExactlyYes) {
    fs::path exe = buildLauncher();
    EXPECT_FALSE(run(exe, {.trace = false}).traceFile);
    for (const char* value : {"Yes", "yes ", "YES", "1"})
        EXPECT_FALSE(run(exe, {.env = {{"KESTRO_LOG", value}, {"VELMORA_LOG", value}}}).traceFile) << value;
    EXPECT_EQ(run(exe, {.env = {{"KESTRO_LOG", "yes"}}}).traceFile, tmp_ / "vlm_nlog_2");
    EXPECT_EQ(run(exe, {.env = {{"KESTRO_LOG", std::nullopt}, {"VELMORA_LOG", "yes"}}}).traceFile, tmp_ / "vlm_nlog_3");
}

TEST_F(Trace, HeaderIsFollowedByAnEmptyLine) {
    RunResult r = run(buildLauncher());
    auto lines = r.traceLines();
    ASSERT_GE(lines.size(), 3u);
    std::string start = "Started executable " + windowsPath(dir_ / "app.exe") + " at ";
    EXPECT_EQ(lines[0].rfind(start, 0), 0u) << lines[0];
    EXPECT_EQ(lines[0].size(), start.size() + 24);  // the ctime form, e.g. Wed Jan 02 02:03:55 1980
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2].rfind("number of sections: ", 0), 0u);
}

// Holding the executable open with delete access lets Windows start it while the
// launcher's own read-only open of it fails. The report names the trace file.
TEST_F(Trace, UnreadableExecutableIsTracedAsAnErrorAndReported) {
    fs::path exe = buildLauncher();
    RunResult r = run(exe, {.arguments = "-q_vlm_internal", .lockedFile = exe});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.traced("ERROR: Could not open " + windowsPath(exe))) << r.trace;
    EXPECT_EQ(r.err, r.reported("Error opening media file. Please move this file to an ascii-only path like c:\\"));
}

}  // namespace
}  // namespace kestro::e2e
