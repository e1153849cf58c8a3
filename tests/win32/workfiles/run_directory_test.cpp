// What is left of a run's temporary directory after its launcher, against the real file
// functions: the marker's hold, and the removal of ended launchers' directories.
#include <cstdint>
#include <ctime>
#include <fstream>
#include <functional>

#include "common/win32_handles.h"
#include "support/win32_test.h"
#include "workfiles/run_directory.h"
#include "workfiles/temp_dir.h"

namespace kestro::test {
namespace {

class RunDirectory : public Win32Test {
protected:
    // Files and directories (names ending in "/") below the test's folder.
    void make(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            fs::create_directories((dir_ / name).parent_path());
            if (name.back() == '/') fs::create_directories(dir_ / name);
            else std::ofstream(dir_ / name) << "x";
        }
    }
    std::string root() const { return text(dir_) + "\\"; }
};

// A directory goes only when its launcher has let its marker go and the application did
// not keep it, read-only files and all; a directory not named as the launcher names them
// is not the sweep's to judge, nor is one without a marker unless it is empty and old:
// a directory whose removal failed once its marker was gone.
TEST_F(RunDirectory, OnlyTheDirectoriesOfEndedLaunchersGo) {
    std::string now = std::to_string(std::time(nullptr));
    make({"kst1.tmp_dir1/lib/a.jar", "kst2.tmp_dir2/deep/er/x.jar", "kst2.tmp_dir2/kst_lock", "kst2.tmp_dir2/a.jar",
          "kst3.tmp_dir3/kst_lock", "kst3.tmp_dir3/kst_keep", "kst4.tmp_dir4/a.jar", "kstdata/kst_lock",
          "kst6.tmp_dir6/", "kst7.tmp_dir" + now + "/"});
    SetFileAttributesW((dir_ / "kst2.tmp_dir2" / "a.jar").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((dir_ / "kst2.tmp_dir2" / "deep").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(holdRunMarker(text(dir_ / "kst1.tmp_dir1")), 0u);
    removeEndedRunDirectories(root(), "");
    EXPECT_TRUE(fs::exists(dir_ / "kst1.tmp_dir1" / "lib" / "a.jar"));
    EXPECT_FALSE(fs::exists(dir_ / "kst2.tmp_dir2"));
    EXPECT_TRUE(fs::exists(dir_ / "kst3.tmp_dir3" / "kst_lock"));
    EXPECT_TRUE(fs::exists(dir_ / "kst4.tmp_dir4" / "a.jar"));
    EXPECT_TRUE(fs::exists(dir_ / "kstdata" / "kst_lock"));
    EXPECT_FALSE(fs::exists(dir_ / "kst6.tmp_dir6"));
    EXPECT_TRUE(fs::exists(dir_ / ("kst7.tmp_dir" + now)));  // perhaps being made right now

    // A fatal end lets its own marker go and removes its directory the same way.
    tempDirPath() = text(dir_ / "kst1.tmp_dir1");
    removeOwnRunDirectory();
    tempDirPath().clear();
    EXPECT_FALSE(fs::exists(dir_ / "kst1.tmp_dir1"));
}

// A file another process still holds stays, and so does the marker, for a later start.
TEST_F(RunDirectory, AFileInUseKeepsTheDirectoryForALaterStart) {
    make({"kst5.tmp_dir5/kst_lock", "kst5.tmp_dir5/a.jar", "kst5.tmp_dir5/b.jar"});
    fs::path dir = dir_ / "kst5.tmp_dir5";
    {
        UniqueFile inUse(
            CreateFileW((dir / "a.jar").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(inUse);
        EXPECT_FALSE(removeEndedRunDirectory(text(dir), INT64_MAX));
        EXPECT_TRUE(fs::exists(dir / "kst_lock"));
        EXPECT_FALSE(fs::exists(dir / "b.jar"));
    }
    EXPECT_TRUE(removeEndedRunDirectory(text(dir), INT64_MAX));
    EXPECT_FALSE(fs::exists(dir));
}

// The time limit holds inside a directory too: one whose time has run out keeps what is
// left, and its marker, for a later start.
TEST_F(RunDirectory, ADirectoryIsEmptiedOnlyWithinTheTimeLeft) {
    make({"kst8.tmp_dir8/kst_lock", "kst8.tmp_dir8/a.jar"});
    fs::path dir = dir_ / "kst8.tmp_dir8";
    EXPECT_FALSE(removeEndedRunDirectory(text(dir), 0));
    EXPECT_TRUE(fs::exists(dir / "a.jar"));
    EXPECT_TRUE(fs::exists(dir / "kst_lock"));
    EXPECT_TRUE(removeEndedRunDirectory(text(dir), INT64_MAX));
}

// A Unix path below Wine's Z: drive, for the Unix programs that make and remove links.
std::string unixPathOf(const fs::path& path) { return fs::path(text(path).substr(2)).generic_string(); }

// Runs a Unix program (Wine starts native programs given by their Z: path) and waits up
// to 5 s until `done` holds: the handle Wine gives for a native program cannot be
// waited on.
bool runUnix(std::string command, const std::function<bool()>& done) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
    for (int i = 0; i < 250 && !done(); ++i) Sleep(20);
    return done();
}

// Removes the link at `path`, which Wine's own calls cannot remove.
bool removeLink(const fs::path& path) {
    return runUnix("Z:\\bin\\rm -f " + unixPathOf(path),
                   [&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

class LinkedDirectory : public RunDirectory {
protected:
    // A link left by an interrupted run would stop the removal of the test's folder.
    void SetUp() override {
        if (text(testDirectory()).rfind("Z:\\", 0) != 0) GTEST_SKIP() << "the test's folder is not on Wine's Z: drive";
        ASSERT_TRUE(removeLink(testDirectory() / "t" / "lib"));
        RunDirectory::SetUp();
    }
    void TearDown() override {
        if (!dir_.empty()) { EXPECT_TRUE(removeLink(dir_ / "t" / "lib")); }
        RunDirectory::TearDown();
    }
};

// Wine shows a Unix symbolic link to a directory as a reparse point, as Windows shows a
// junction. Emptying must not reach through it.
TEST_F(LinkedDirectory, IsNotEmptied) {
    make({"outside/", "outside/keep.jar", "t/"});
    fs::path link = dir_ / "t" / "lib";
    ASSERT_TRUE(runUnix("Z:\\bin\\ln -s " + unixPathOf(dir_ / "outside") + " " + unixPathOf(link), [&] {
        DWORD attributes = GetFileAttributesW(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }));
    emptyDirectoryTree(text(dir_ / "t"));
    EXPECT_TRUE(fs::exists(dir_ / "outside" / "keep.jar"));
}

}  // namespace
}  // namespace kestro::test
