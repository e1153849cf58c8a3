#include <gtest/gtest.h>

#include "workfiles/included_names.h"

namespace kestro {
namespace {

using Names = std::vector<std::string>;

TEST(IncludedNames, EmptyItemsAreSkippedAndTheCountLimits) {
    struct Case { const char* list; int32_t count; Names names; };
    for (const Case& c : std::initializer_list<Case>{
             {"a.jar;;b.jar", 2, {"a.jar", "b.jar"}}, {";a;b;c;", 2, {"a", "b"}}, {"a;b", 5, {"a", "b"}},
             {"a;b", 0, {}}, {"a;b", -1, {}}, {"", 3, {}},
         })
        EXPECT_EQ(includedFileNames(c.list, c.count), c.names) << c.list << " " << c.count;
}

TEST(IncludedNames, OnlyNamesThatStayBelowTheDirectoryAreSafe) {
    for (const char* name : {"a.jar", "lib\\x.jar", "lib\\sub\\y.jar", ".hidden", "a..b.jar", ".\\a", "x.", "..a",
                             "nully.jar", "console.jar", "com10.jar", "com.jar", "lpt.jar", "auxiliary", "a.nul",
                             "lib\\con-fig.jar", "my.aux"})
        EXPECT_TRUE(isSafeIncludedName(name)) << name;
    for (const char* name : {"", "..", "..\\evil.jar", "lib\\..\\..\\evil.jar", "lib\\..", "a/../../b", "../b",
                             "C:\\evil.jar", "c:evil.jar", "a.jar:stream", "\\evil.jar", "/evil.jar",
                             "\\\\server\\share\\x", "\\\\?\\C:\\x", "...\\x", ".. \\x", "lib\\. .\\x", "lib\\.. "}) {
        EXPECT_FALSE(isSafeIncludedName(name)) << name;
        EXPECT_FALSE(namesDevice(name)) << name;
    }
    // Windows opens the device for these, in any component, whatever follows the first dot.
    for (const char* name : {"nul", "NUL", "aux.jar", "Con.tar.gz", "prn.", "nul ", "com1 .txt", "COM9", "lpt1.dll",
                             "LPT0", "conin$", "CONOUT$.log", "lib\\aux.jar", "aux\\x.jar", "lib/nul", "COM\xB9.jar",
                             "com\xC2\xB3"}) {
        EXPECT_FALSE(isSafeIncludedName(name)) << name;
        EXPECT_TRUE(namesDevice(name)) << name;
    }
}

TEST(IncludedNames, OnlyTheFirstBackslashMakesADirectory) {
    EXPECT_EQ(includedNameDirectory("lib\\x.jar"), "lib");
    EXPECT_EQ(includedNameDirectory("lib\\sub\\y.jar"), "lib");
    EXPECT_EQ(includedNameDirectory("a.jar"), "");
    EXPECT_EQ(includedNameDirectory("a/b.jar"), "");
}

}  // namespace
}  // namespace kestro
