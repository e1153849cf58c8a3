#include <gtest/gtest.h>

#include "workfiles/path_rules.h"

namespace kestro {
namespace {

TEST(PathRules, RelativeUnlessDriveOrNetworkPath) {
    for (const char* absolute : {"C:\\x", "C:\\", "\\\\srv\\share", "\"C:\\x\"", "\"\\\\s"})
        EXPECT_FALSE(isRelativePath(absolute)) << absolute;
    for (const char* relative : {"C:", "C:x", "\\x", "x", "", "..\\jre", "C:/x", "\"C:"})
        EXPECT_TRUE(isRelativePath(relative)) << relative;
}

Utf16 collapsed(Utf16 path) {
    collapseBackslashRuns(path);
    return path;
}

TEST(PathRules, CollapseKeepsTwoLeadingBackslashes) {
    EXPECT_EQ(collapsed(u"C:\\a\\\\b"), u"C:\\a\\b");
    EXPECT_EQ(collapsed(u"\\\\srv\\\\share"), u"\\\\srv\\share");
    EXPECT_EQ(collapsed(u"\\\\\\x"), u"\\\\x");
    EXPECT_EQ(collapsed(u"a\\\\\\\\b\\\\"), u"a\\b\\");
    EXPECT_EQ(collapsed(u"\\"), u"\\");
    EXPECT_EQ(collapsed(u""), u"");
}

TEST(PathRules, DriveRootsNeedNoSearch) {
    for (const char* root : {"C:\\", "c:\\.", "Z:\\.\\."}) EXPECT_TRUE(isDriveRootText(root)) << root;
    for (const char* other : {"C:", "C:\\x", "C:\\.\\", "\\", "C:\\.."}) EXPECT_FALSE(isDriveRootText(other)) << other;
}

TEST(PathRules, DirectoryPartKeepsTheSeparator) {
    EXPECT_EQ(directoryPart("C:\\Apps\\Tool\\run.exe"), "C:\\Apps\\Tool\\");
    EXPECT_EQ(directoryPart("run.exe"), "");
    EXPECT_EQ(directoryPart("a/b"), "a/");
}

TEST(PathRules, LowerCasesOnlyAsciiLetters) {
    Utf16 text = u"C:\\ÄBC\\Déf";
    lowerAsciiLetters(text);
    EXPECT_EQ(text, u"c:\\Äbc\\déf");
}

TEST(PathRules, ChildPathAddsOneSeparator) {
    EXPECT_EQ(childPath("C:\\t\\", "*.*"), "C:\\t\\*.*");
    EXPECT_EQ(childPath("C:\\t", "*.*"), "C:\\t\\*.*");
    EXPECT_EQ(childPath("C:\\t\\lib", "x.jar"), "C:\\t\\lib\\x.jar");
}

TEST(PathRules, RelativeDotPathsAreNeverEmptied) {
    for (const char* path : {"", ".", "..", "..\\x", ".\\tmp", ".x"}) EXPECT_FALSE(mayEmptyDirectory(path)) << path;
    for (const char* path : {"C:\\t", "C:\\t\\", "tmp", "\\\\srv\\t"}) EXPECT_TRUE(mayEmptyDirectory(path)) << path;
}

}  // namespace
}  // namespace kestro
