// Removing what extraction made, against the real file functions.
#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include "workfiles/included_files.h"

namespace kestro {
namespace {

using namespace testing;

TEST(EmptyDirectory, DescendsOneLevelAndRemovesWhatBecameEmpty) {
    ScratchDir scratch;
    std::string d = scratch / "t";
    makeDirectory(d);
    writeFile(d + "\\a.jar");
    makeDirectory(d + "\\lib");
    writeFile(d + "\\lib\\b.jar");
    makeDirectory(d + "\\lib\\deeper");
    writeFile(d + "\\lib\\deeper\\c.jar");
    makeDirectory(d + "\\empty");

    emptyDirectory(d + "\\", true);  // a trailing backslash is not doubled
    EXPECT_FALSE(exists(d + "\\a.jar"));
    EXPECT_FALSE(exists(d + "\\lib\\b.jar"));
    EXPECT_FALSE(exists(d + "\\empty"));
    // Two levels down only empty directories go; this one keeps its file, and so its parent stays.
    EXPECT_TRUE(exists(d + "\\lib\\deeper\\c.jar"));
    EXPECT_TRUE(isDirectory(d));
}

TEST(EmptyDirectory, WithoutDescendingFullSubdirectoriesStay) {
    ScratchDir scratch;
    std::string d = scratch / "t";
    makeDirectory(d);
    writeFile(d + "\\x.jar");
    makeDirectory(d + "\\full");
    writeFile(d + "\\full\\y.jar");
    makeDirectory(d + "\\empty");

    emptyDirectory(d, false);
    EXPECT_FALSE(exists(d + "\\x.jar"));
    EXPECT_FALSE(exists(d + "\\empty"));
    EXPECT_TRUE(exists(d + "\\full\\y.jar"));
}

TEST(EmptyDirectory, DotPathsAreLeftAlone) {
    ScratchDir scratch;
    makeDirectory(scratch / "here");
    writeFile(scratch / "here\\f.jar");
    makeDirectory(scratch / "x");
    writeFile(scratch / "x\\g.jar");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA((scratch / "here").c_str()));

    emptyDirectory(".", true);
    emptyDirectory("..\\x", true);
    emptyDirectory("", true);
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(exists(scratch / "here\\f.jar"));
    EXPECT_TRUE(exists(scratch / "x\\g.jar"));
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
TEST(EmptyDirectory, LinkedDirectoryIsNotEmptied) {
    ScratchDir scratch;
    if (scratch.path().rfind("Z:\\", 0) != 0) GTEST_SKIP() << "the scratch directory is not on Wine's Z: drive";
    std::string unix = scratch.path().substr(2);
    for (char& c : unix)
        if (c == '\\') c = '/';
    makeDirectory(scratch / "outside");
    writeFile(scratch / "outside\\keep.jar");
    makeDirectory(scratch / "t");
    ASSERT_TRUE(runUnix("Z:\\bin\\ln -s " + unix + "/outside " + unix + "/t/lib"));
    ASSERT_TRUE(GetFileAttributesA((scratch / "t\\lib").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    emptyDirectory(scratch / "t", true);
    EXPECT_TRUE(exists(scratch / "outside\\keep.jar"));
    runUnix("Z:\\bin\\rm -f " + unix + "/t/lib");  // Wine's own calls cannot remove the link
}

}  // namespace
}  // namespace kestro
