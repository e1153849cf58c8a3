#include <gtest/gtest.h>

#include "runtime/search_list.h"

namespace kestro {
namespace {

TEST(SearchList, EntriesAreALetterAndAValue) {
    auto entries = parseSearchList(";R.\\jre;;B.\\jre;EMYAPP_JAVA;Y;S;x;");
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].kind, 'R');
    EXPECT_EQ(entries[0].value, ".\\jre");
    EXPECT_EQ(entries[2].value, "MYAPP_JAVA");
    EXPECT_EQ(entries[3].kind, 'Y');
    EXPECT_EQ(entries[3].value, "");
    EXPECT_EQ(entries[5].kind, 'x');
    EXPECT_TRUE(parseSearchList("").empty());
}

TEST(SearchList, FallbackPassTakesBAlwaysAndAOrROnlyWhenRelative) {
    EXPECT_TRUE(triedInFallbackPass({'B', "C:\\jre"}));
    EXPECT_TRUE(triedInFallbackPass({'R', "jre"}));
    EXPECT_TRUE(triedInFallbackPass({'A', "\\jre"}));  // no drive: relative by this rule
    EXPECT_FALSE(triedInFallbackPass({'R', "C:\\jre"}));
    EXPECT_FALSE(triedInFallbackPass({'A', "\\\\srv\\jre"}));
    EXPECT_FALSE(triedInFallbackPass({'A', "C:jre"}));
    for (char kind : {'E', 'S', 'Y', 'r', '?'}) EXPECT_FALSE(triedInFallbackPass({kind, "jre"})) << kind;
}

TEST(SearchList, PathsDerivedFromTheJavaExecutable) {
    EXPECT_EQ(javaBinDirectory("c:\\jre\\bin\\java.exe"), "c:\\jre\\bin");
    EXPECT_EQ(javaBinDirectory("c:\\jre\\bin\\javaw.exe"), "c:\\jre\\bin");
    EXPECT_EQ(runtimeHomeOf("c:\\jre\\bin\\java.exe"), "c:\\jre\\bin\\..");
    EXPECT_EQ(runtimeHomeOf("c:\\jre\\bin\\javaw.exe"), "c:\\jre\\bin\\..");
    // Only the exact lower-case "javaw.exe" counts as the windowed executable.
    EXPECT_EQ(javaBinDirectory("c:\\jre\\bin\\JAVAW.EXE"), "c:\\jre\\bin\\");  // cut as "java.exe"
    EXPECT_EQ(embeddedRuntimeJava("c:\\jdk\\bin\\java.exe"), "c:\\jdk\\bin\\..\\jre\\bin\\java.exe");
    EXPECT_EQ(javaBinDirectory("x"), "");
}

TEST(SearchList, HintLinesLoseEveryTrailingLineEnd) {
    EXPECT_EQ(withoutLineEnd("C:\\jre\r\n"), "C:\\jre");
    EXPECT_EQ(withoutLineEnd("C:\\jre\r\r\n\n"), "C:\\jre");
    EXPECT_EQ(withoutLineEnd("C:\\j re "), "C:\\j re ");
    EXPECT_EQ(withoutLineEnd("\r\n"), "");
}

}  // namespace
}  // namespace kestro
