#include <gtest/gtest.h>

#include "runtime/search_list.h"

namespace kestro {
namespace {

TEST(SearchList, EntriesAreALetterAndAValue) {
    std::string kinds, values;
    for (const SearchEntry& entry : parseSearchList(";R.\\jre;;B.\\jre;EMYAPP_JAVA;Y;S;x;")) {
        kinds += entry.kind;
        values += entry.value + "|";
    }
    EXPECT_EQ(kinds, "RBEYSx");
    EXPECT_EQ(values, ".\\jre|.\\jre|MYAPP_JAVA||||");
    EXPECT_TRUE(parseSearchList("").empty());
}

TEST(SearchList, FallbackPassTakesBAlwaysAndAOrROnlyWhenRelative) {
    struct Case { char kind; const char* value; bool tried; };
    for (const Case& c : std::initializer_list<Case>{
             {'B', "C:\\jre", true}, {'R', "jre", true}, {'R', ".", true},
             {'A', "\\jre", true},  // no drive: relative by this rule
             {'R', "C:\\jre", false}, {'A', "\\\\srv\\jre", false}, {'A', "C:jre", false}, {'E', "jre", false},
             {'S', "jre", false}, {'Y', "jre", false}, {'r', "jre", false}, {'?', "jre", false},
         })
        EXPECT_EQ(triedInFallbackPass({c.kind, c.value}), c.tried) << c.kind << c.value;
}

// The search path of "java.exe" leaves out the current directory, also where a relative
// or drive-relative PATH entry would name a place below it.
TEST(SearchList, JavaIsSearchedForOutsideTheCurrentDirectory) {
    struct Case { const char* path; std::vector<std::string> fromPath; };
    for (const Case& c : std::initializer_list<Case>{
             {"C:\\jdk\\bin;\"D:\\my jdk\\bin\";\\\\srv\\java\\bin\\", {"C:\\jdk\\bin", "D:\\my jdk\\bin", "\\\\srv\\java\\bin"}},
             {".;bin;..\\jdk\\bin;C:jdk;\\jdk\\bin;;\"\";E:\\", {"E:\\"}},
             {"", {}},
         }) {
        std::vector<std::string> want = {"C:\\App", "C:\\Windows\\system32", "C:\\Windows"};
        want.insert(want.end(), c.fromPath.begin(), c.fromPath.end());
        EXPECT_EQ(javaSearchDirectories("C:\\App\\", {"C:\\Windows\\system32", "", "C:\\Windows"}, c.path), want)
            << c.path;
    }
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
    // Hint file lines lose every trailing line end, nothing else.
    for (const char* line : {"C:\\jre\r\n", "C:\\jre\r\r\n\n", "C:\\jre"}) EXPECT_EQ(withoutLineEnd(line), "C:\\jre");
    EXPECT_EQ(withoutLineEnd("C:\\j re "), "C:\\j re ");
    EXPECT_EQ(withoutLineEnd("\r\n"), "");
}

}  // namespace
}  // namespace kestro
