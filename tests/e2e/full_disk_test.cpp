// Extraction onto a full disk: a tiny tmpfs mounted as the temporary root. The trace
// file lives there too; its records fit in the page it already holds.
#include "harness.h"

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

namespace kestro::e2e {
namespace {

class FullDisk : public LauncherTest {
protected:
    void SetUp() override {
        // A mount left behind by an interrupted run would keep the old directory alive.
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        umount2((buildDir() / "e2e" / info->test_suite_name() / info->name() / "tmp").c_str(), MNT_DETACH);
        LauncherTest::SetUp();
        if (mount("tmpfs", tmp_.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) umount2(tmp_.c_str(), MNT_DETACH);
    }
    bool mounted_ = false;
};

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
