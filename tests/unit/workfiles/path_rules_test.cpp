#include <gtest/gtest.h>

#include "workfiles/path_rules.h"
#include "workfiles/private_directory.h"

namespace kestro {
namespace {

TEST(PathRules, Predicates) {
    // Relative unless a drive path or a network path, quoted or not.
    for (const char* absolute : {"C:\\x", "C:\\", "\\\\srv\\share", "\"C:\\x\"", "\"\\\\s"})
        EXPECT_FALSE(isRelativePath(absolute)) << absolute;
    for (const char* relative : {"C:", "C:x", "\\x", "x", "", "..\\jre", "C:/x", "\"C:"})
        EXPECT_TRUE(isRelativePath(relative)) << relative;
    // Drive roots need no search.
    for (const char* root : {"C:\\", "c:\\.", "Z:\\.\\."}) EXPECT_TRUE(isDriveRootText(root)) << root;
    for (const char* other : {"C:", "C:\\x", "C:\\.\\", "\\", "C:\\.."}) EXPECT_FALSE(isDriveRootText(other)) << other;
    // Relative dot paths are never emptied.
    for (const char* path : {"", ".", "..", "..\\x", ".\\tmp", ".x"}) EXPECT_FALSE(mayEmptyDirectory(path)) << path;
    for (const char* path : {"C:\\t", "C:\\t\\", "tmp", "\\\\srv\\t"}) EXPECT_TRUE(mayEmptyDirectory(path)) << path;
    // Run directories, in any letter case; nothing else is swept.
    for (const char* name : {"kst1A2B.tmp_dir1700000000", "KST_DIR1", "kstx_dir_dir9", "Kst.tmp_Dir0"})
        EXPECT_TRUE(isRunDirectoryName(name)) << name;
    for (const char* name : {"kst1A2B.tmp_dir", "kst_dir12x", "ks_dir1", "xkst_dir1", "kstdir1", "kst1_dir1 ", "kst"})
        EXPECT_FALSE(isRunDirectoryName(name)) << name;
}

// A shared root is used only when its owner is the user or the system's own; the user's
// directory inside it lets in the user and the system alone, nothing inherited.
TEST(PrivateDirectory, OwnersAndAccess) {
    const std::string user = "S-1-5-21-1-2-3-1001";
    struct Case { const char* owner; bool trusted; };
    for (const Case& c : std::initializer_list<Case>{
             {"S-1-5-21-1-2-3-1001", true}, {"S-1-5-18", true}, {"S-1-5-32-544", true},
             {"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", true},
             {"S-1-5-21-1-2-3-1002", false}, {"S-1-5-11", false}, {"S-1-1-0", false}, {"S-1-5-32-545", false},
             {"S-1-5-21-1-2-3-10011", false}, {"", false},
         })
        EXPECT_EQ(trustedOwner(c.owner, user), c.trusted) << c.owner;
    EXPECT_EQ(privateDirectorySecurity(user), "D:P(A;OICI;FA;;;S-1-5-21-1-2-3-1001)(A;OICI;FA;;;SY)");
    EXPECT_EQ(privateRootName(user), "kst_S-1-5-21-1-2-3-1001");
}

TEST(PathRules, RunDirectoryTimeIsTheNumberAtTheEnd) {
    struct Case { const char* name; std::optional<int64_t> seconds; };
    for (const Case& c : std::initializer_list<Case>{
             {"kst1A2B.tmp_dir1700000000", 1700000000}, {"KST1.TMP_DIR0", 0},
             {"kst1.tmp_dir1234567890123456789", std::nullopt},  // beyond any time, and int64_t
             {"kst1.tmp_dir", std::nullopt}, {"other1700000000", std::nullopt},
         })
        EXPECT_EQ(runDirectoryTime(c.name), c.seconds) << c.name;
}

TEST(PathRules, CollapseKeepsTwoLeadingBackslashes) {
    struct Case { Utf16 path, collapsed; };
    for (Case c : std::initializer_list<Case>{
             {u"C:\\a\\\\b", u"C:\\a\\b"}, {u"\\\\srv\\\\share", u"\\\\srv\\share"}, {u"\\\\\\x", u"\\\\x"},
             {u"a\\\\\\\\b\\\\", u"a\\b\\"}, {u"\\", u"\\"}, {u"", u""},
         }) {
        collapseBackslashRuns(c.path);
        EXPECT_EQ(c.path, c.collapsed);
    }
}

TEST(PathRules, TextHelpers) {
    EXPECT_EQ(directoryPart("C:\\Apps\\Tool\\run.exe"), "C:\\Apps\\Tool\\");  // keeps the separator
    EXPECT_EQ(directoryPart("run.exe"), "");
    EXPECT_EQ(directoryPart("a/b"), "a/");
    // A child path adds one separator.
    EXPECT_EQ(childPath("C:\\t\\", "*.*"), "C:\\t\\*.*");
    EXPECT_EQ(childPath("C:\\t", "*.*"), "C:\\t\\*.*");
    EXPECT_EQ(childPath("C:\\t\\lib", "x.jar"), "C:\\t\\lib\\x.jar");
    // Trailing backslashes go, but not the one of a root or a network prefix.
    for (auto [path, cut] : std::initializer_list<std::pair<const char*, const char*>>{
             {"C:\\a\\", "C:\\a"}, {"C:\\", "C:\\"}, {"\\\\", "\\\\"}, {"\\", "\\"}, {"", ""}})
        EXPECT_EQ(withoutTrailingBackslash(path), cut) << path;
    // Only ASCII letters are lower-cased.
    Utf16 text = u"C:\\ÄBC\\Déf";
    lowerAsciiLetters(text);
    EXPECT_EQ(text, u"c:\\Äbc\\déf");
}

}  // namespace
}  // namespace kestro
