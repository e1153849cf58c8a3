// Path helpers against the real Windows file functions (run under Wine); the string
// rules themselves are unit-tested natively.
#include <windows.h>

#include <gtest/gtest.h>

#include "workfiles/paths.h"

namespace kestro {
namespace {

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return s;
}

TEST(Paths, FullPathOfParentKeepsOrLowersTheCase) {
    std::string parent = moduleDirectory().substr(0, moduleDirectory().size() - 1);
    parent.resize(parent.rfind('\\'));
    EXPECT_EQ(fullPath("..", true), parent);
    EXPECT_EQ(fullPath("..", false), lower(parent));
}

TEST(Paths, ResolveAgainstPrefixesWithoutNormalising) {
    EXPECT_EQ(resolveAgainst(".\\jre"), moduleDirectory() + ".\\jre");
    EXPECT_EQ(resolveAgainst("D:\\x"), "D:\\x");
    EXPECT_EQ(resolveAgainst("\"D:\\x\""), "\"D:\\x\"");
    EXPECT_EQ(resolveAgainst("lib", "C:\\apps\\tool\\run.exe"), "C:\\apps\\tool\\lib");
    EXPECT_EQ(resolveAgainst("a\\\\b"), moduleDirectory() + "a\\b");
    EXPECT_EQ(resolvePathList(";a;;C:\\b;"), moduleDirectory() + "a;C:\\b");
}

// A character the code page lacks becomes "?" and is reported, never a look-alike
// (code page 1252 would offer "O" for an Omega and "a" for an a with macron).
TEST(Paths, TextOutsideTheCodePageIsMarkedNotApproximated) {
    if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
    bool exact = true;
    EXPECT_EQ(toFileSystemText(u"\u03A9mega \u0101", &exact), "?mega ?");
    EXPECT_FALSE(exact);
    EXPECT_EQ(toFileSystemText(u"caf\u00E9", &exact), "caf\xE9");
    EXPECT_TRUE(exact);
}

TEST(Paths, ExistenceAndFileTimes) {
    EXPECT_TRUE(pathExists("C:\\"));
    EXPECT_TRUE(pathExists("Q:\\."));  // a drive root counts without any search
    EXPECT_TRUE(pathExists(getModulePath()));
    EXPECT_FALSE(pathExists(moduleDirectory()));  // a trailing backslash finds nothing
    EXPECT_TRUE(pathExists(moduleDirectory() + "*.exe"));
    std::string directory = moduleDirectory().substr(0, moduleDirectory().size() - 1);
    EXPECT_TRUE(pathExists(directory));
    EXPECT_TRUE(pathExists(directory + "\\..\\" + directory.substr(directory.rfind('\\') + 1)));
    EXPECT_FALSE(pathExists(moduleDirectory() + "no-such-dir\\file"));
    // A plain file's time is the one the directory search reports.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(getModulePath().c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    uint64_t time = 0;
    EXPECT_TRUE(findFileTime(getModulePath(), &time));
    EXPECT_EQ(time, uint64_t(found.ftLastWriteTime.dwHighDateTime) << 32 | found.ftLastWriteTime.dwLowDateTime);
    EXPECT_FALSE(findFileTime(moduleDirectory() + "no-such-file", &time));
}

}  // namespace
}  // namespace kestro
