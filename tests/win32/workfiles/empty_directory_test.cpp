// Removing what extraction made, against the real file functions.
#include <fstream>

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

// Runs a Unix program: Wine starts native programs given by their Z: path.
bool runUnix(std::string command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    WaitForSingleObject(started.hProcess, 10000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

// Wine shows a Unix symbolic link to a directory as a reparse point, as Windows shows a
// junction. Emptying must not reach through it.
TEST_F(EmptyDirectory, LinkedDirectoryIsNotEmptied) {
    std::string unix = text(dir_);
    if (unix.rfind("Z:\\", 0) != 0) GTEST_SKIP() << "the test's folder is not on Wine's Z: drive";
    unix = fs::path(unix.substr(2)).generic_string();
    make({"outside/", "outside/keep.jar", "t/"});
    ASSERT_TRUE(runUnix("Z:\\bin\\ln -s " + unix + "/outside " + unix + "/t/lib"));
    ASSERT_TRUE(GetFileAttributesW((dir_ / "t" / "lib").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    emptyDirectory(text(dir_ / "t"), true);
    EXPECT_TRUE(fs::exists(dir_ / "outside" / "keep.jar"));
    runUnix("Z:\\bin\\rm -f " + unix + "/t/lib");  // Wine's own calls cannot remove the link
}

}  // namespace
}  // namespace kestro::test
