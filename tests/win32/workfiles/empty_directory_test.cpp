// Removing what extraction made, against the real file functions.
#include <fstream>
#include <functional>

#include "support/win32_test.h"
#include "workfiles/included_files.h"

namespace kestro::test {
namespace {

class EmptyDirectory : public Win32Test {
protected:
    // Files and directories (names ending in "/") below the test's folder.
    void make(std::initializer_list<std::string> names) {
        for (const std::string& name : names)
            if (name.back() == '/') fs::create_directories(dir_ / name);
            else std::ofstream(dir_ / name) << "x";
    }
};

TEST_F(EmptyDirectory, DescendsOneLevelAndRemovesWhatBecameEmpty) {
    make({"t/", "t/a.jar", "t/lib/", "t/lib/b.jar", "t/lib/deeper/", "t/lib/deeper/c.jar", "t/empty/"});
    make({"u/", "u/x.jar", "u/full/", "u/full/y.jar", "u/empty/"});

    emptyDirectory(text(dir_ / "t") + "\\", true);  // a trailing backslash is not doubled
    EXPECT_FALSE(fs::exists(dir_ / "t" / "a.jar"));
    EXPECT_FALSE(fs::exists(dir_ / "t" / "lib" / "b.jar"));
    EXPECT_FALSE(fs::exists(dir_ / "t" / "empty"));
    // Two levels down only empty directories go; this one keeps its file, and so its parent stays.
    EXPECT_TRUE(fs::exists(dir_ / "t" / "lib" / "deeper" / "c.jar"));
    EXPECT_TRUE(fs::is_directory(dir_ / "t"));

    emptyDirectory(text(dir_ / "u"), false);  // without descending, full sub-directories stay
    EXPECT_FALSE(fs::exists(dir_ / "u" / "x.jar"));
    EXPECT_FALSE(fs::exists(dir_ / "u" / "empty"));
    EXPECT_TRUE(fs::exists(dir_ / "u" / "full" / "y.jar"));
}

TEST_F(EmptyDirectory, DotPathsAreLeftAlone) {
    make({"here/", "here/f.jar", "x/", "x/g.jar"});
    fs::path previous = fs::current_path();
    fs::current_path(dir_ / "here");
    emptyDirectory(".", true);
    emptyDirectory("..\\x", true);
    emptyDirectory("", true);
    fs::current_path(previous);
    EXPECT_TRUE(fs::exists(dir_ / "here" / "f.jar"));
    EXPECT_TRUE(fs::exists(dir_ / "x" / "g.jar"));
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

class LinkedDirectory : public EmptyDirectory {
protected:
    // A link left by an interrupted run would stop the removal of the test's folder.
    void SetUp() override {
        if (text(testDirectory()).rfind("Z:\\", 0) != 0) GTEST_SKIP() << "the test's folder is not on Wine's Z: drive";
        ASSERT_TRUE(removeLink(testDirectory() / "t" / "lib"));
        EmptyDirectory::SetUp();
    }
    void TearDown() override {
        if (!dir_.empty()) EXPECT_TRUE(removeLink(dir_ / "t" / "lib"));
        EmptyDirectory::TearDown();
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
    emptyDirectory(text(dir_ / "t"), true);
    EXPECT_TRUE(fs::exists(dir_ / "outside" / "keep.jar"));
}

}  // namespace
}  // namespace kestro::test
