// Extraction onto a full disk: a tiny tmpfs mounted as the temporary root. The trace
// file lives there too; its records fit in the page it already holds.
#include "small_disk.h"

namespace kestro::e2e {
namespace {

using FullDisk = OnSmallDisk<LauncherTest>;

TEST_F(FullDisk, WriteFailureEndsTheStartAndLeavesNothingBehind) {
    set(key::IncludedCount, "2");
    set(key::IncludedNames, "small.jar;big.bin");
    fs::path exe = buildLauncher("app.exe", {{"small.jar", writeBytes(dir_ / "src" / "small.jar", "fits")},
                                             {"big.bin", writeBytes(dir_ / "src" / "big.bin", everyByteValue(1 << 20))}});
    RunResult r = run(exe);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1009, "16")));
    EXPECT_TRUE(r.tracedPrefix("ERROR: WriteFile failed ")) << r.trace;
    EXPECT_TRUE(r.traced("ERROR: Failed to extract " + announcedDirectory(r) + "\\big.bin"));
    EXPECT_FALSE(fs::exists(unixPath(announcedDirectory(r))));
    EXPECT_TRUE(runDirectories(tmp_).empty());
}

}  // namespace
}  // namespace kestro::e2e
