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

// The runtime library goes to a cache file named by its content: another library gets
// another file; the sweep of old versions touches nothing else of the folder.
TEST(IncludedNames, RuntimeLibraryAndItsCacheFiles) {
    for (const char* name : {"kestro-runtime.jar", "KESTRO-RUNTIME.JAR"}) EXPECT_TRUE(isRuntimeLibraryName(name));
    for (const char* name : {"lib\\kestro-runtime.jar", "kestro-runtime.jar.bak", "my-kestro-runtime.jar"})
        EXPECT_FALSE(isRuntimeLibraryName(name)) << name;

    std::string a = runtimeLibraryCacheName("PK\x03\x04 one"), b = runtimeLibraryCacheName("PK\x03\x04 two");
    EXPECT_NE(a, b);
    EXPECT_EQ(a, runtimeLibraryCacheName("PK\x03\x04 one"));
    EXPECT_EQ(runtimeLibraryCacheName(""), "kestro-runtime-cbf29ce484222325.jar");  // the hash of nothing
    for (const std::string& name : {a, b, std::string("Kestro-Runtime-0123456789ABCDEF.JAR")})
        EXPECT_TRUE(isRuntimeLibraryCacheName(name)) << name;
    for (const char* name : {"kestro-runtime.jar", "kestro-runtime-0123456789abcdeg.jar",
                             "kestro-runtime-0123456789abcdef0.jar", "kestro-runtime-0123456789abcdef.jar.kst12",
                             "kestro-runtime-0123456789abcdef.zip"})
        EXPECT_FALSE(isRuntimeLibraryCacheName(name)) << name;
}

}  // namespace
}  // namespace kestro
