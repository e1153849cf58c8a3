// Path helpers against the real Windows file functions (run under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include "workfiles/paths.h"

namespace kestro {
namespace {

std::string parentOf(std::string directory) {  // directory ends with a backslash
    directory.pop_back();
    return directory.substr(0, directory.find_last_of('\\'));
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return s;
}

TEST(Paths, ModuleDirectoryIsTheExecutablesFullDirectory) {
    const std::string& module = getModulePath();
    ASSERT_GE(module.size(), 4u);
    EXPECT_EQ(lower(module.substr(module.size() - 4)), ".exe");
    ASSERT_FALSE(moduleDirectory().empty());
    EXPECT_EQ(moduleDirectory().back(), '\\');
    EXPECT_EQ(lower(module).rfind(lower(moduleDirectory()), 0), 0u);
}

TEST(Paths, FullPathOfParentKeepsOrLowersTheCase) {
    std::string parent = parentOf(moduleDirectory());
    EXPECT_EQ(fullPath("..", true), parent);
    EXPECT_EQ(fullPath("..", false), lower(parent));
}

TEST(Paths, ResolveAgainstPrefixesWithoutNormalising) {
    EXPECT_EQ(resolveAgainst(".\\jre"), moduleDirectory() + ".\\jre");
    EXPECT_EQ(resolveAgainst("D:\\x"), "D:\\x");
    EXPECT_EQ(resolveAgainst("\"D:\\x\""), "\"D:\\x\"");
    EXPECT_EQ(resolveAgainst("lib", "C:\\apps\\tool\\run.exe"), "C:\\apps\\tool\\lib");
    EXPECT_EQ(resolveAgainst("a\\\\b"), moduleDirectory() + "a\\b");
}

TEST(Paths, CollapseKeepsANetworkPrefix) {
    std::string a = "C:\\a\\\\b", b = "\\\\srv\\\\share", c = "\\\\\\x";
    collapseBackslashes(a);
    collapseBackslashes(b);
    collapseBackslashes(c);
    EXPECT_EQ(a, "C:\\a\\b");
    EXPECT_EQ(b, "\\\\srv\\share");
    EXPECT_EQ(c, "\\\\x");
}

TEST(Paths, ExistenceAndFileTimes) {
    EXPECT_TRUE(pathExists("C:\\"));
    EXPECT_TRUE(pathExists("Q:\\."));  // a drive root counts without any search
    EXPECT_TRUE(pathExists(getModulePath()));
    EXPECT_FALSE(pathExists(moduleDirectory()));  // a trailing backslash finds nothing
    EXPECT_TRUE(pathExists(moduleDirectory() + "*.exe"));
    uint64_t time = 0;
    EXPECT_TRUE(findFileTime(getModulePath(), &time));
    EXPECT_NE(time, 0u);
    EXPECT_FALSE(findFileTime(moduleDirectory() + "no-such-file", &time));
}

TEST(Paths, ResolvePathListResolvesEachItem) {
    EXPECT_EQ(resolvePathList(";a;;C:\\b;"), moduleDirectory() + "a;C:\\b");
    EXPECT_EQ(resolvePathList(""), "");
}

}  // namespace
}  // namespace kestro
