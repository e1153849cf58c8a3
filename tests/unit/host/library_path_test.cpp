#include <gtest/gtest.h>

#include "host/library_path.h"

namespace kestro {
namespace {

std::string inApp(std::string_view relative) { return "C:\\app\\" + std::string(relative); }

TEST(LibraryPath, RelativeDirectoriesResolvedInOrderAbsoluteOnesKept) {
    struct Case { const char* configured; const char* directories; };
    for (const Case& c : std::initializer_list<Case>{
             {"lib;native\\x64", "C:\\app\\lib;C:\\app\\native\\x64;"},
             {";;D:\\bin;\\\\srv\\share\\dll;;", "D:\\bin;\\\\srv\\share\\dll;"},
             {"\"D:\\my libs\";lib", "\"D:\\my libs\";C:\\app\\lib;"},
             {"\"my libs\"", "\"C:\\app\\my libs\";"},  // a quoted relative directory is resolved inside its quotes
             {"", ""}, {";", ""},
         })
        EXPECT_EQ(libraryDirectories(c.configured, inApp), c.directories) << c.configured;
}

TEST(LibraryPath, OldPathFollowsTheDirectories) {
    EXPECT_EQ(pathWithLibraries("C:\\a;", std::string("C:\\Windows")).value, "C:\\a;C:\\Windows");
    EXPECT_EQ(pathWithLibraries("", std::string("C:\\Windows")).value, "C:\\Windows");
    EXPECT_EQ(pathWithLibraries("C:\\a;", std::nullopt).value, "C:\\a;");
    EXPECT_EQ(pathWithLibraries("C:\\a;", std::string()).value, "C:\\a;");
    EXPECT_FALSE(pathWithLibraries("C:\\a;", std::string("C:\\Windows")).shortened);
    // The system holds 32767 characters with the zero, and the C runtime's copy "PATH=" too.
    EXPECT_FALSE(pathWithLibraries("", std::string(32761, 'x')).shortened);
    EXPECT_TRUE(pathWithLibraries("", std::string(32762, 'x')).shortened);
}

TEST(LibraryPath, TooLongValueKeepsWholeLeadingEntries) {
    std::string dirs = "C:\\lib;";
    std::string first(20, 'x'), second(20, 'y'), third(20, 'z');
    std::string old = first + ";" + second + ";" + third;
    // Exactly at the limit: nothing is left out.
    size_t whole = dirs.size() + old.size();
    EXPECT_EQ(pathWithLibraries(dirs, old, whole).value, dirs + old);
    // One character short: the last entry goes, not a part of it.
    PathValue cut = pathWithLibraries(dirs, old, whole - 1);
    EXPECT_TRUE(cut.shortened);
    EXPECT_EQ(cut.value, dirs + first + ";" + second);
    // The boundary itself may sit at the limit.
    EXPECT_EQ(pathWithLibraries(dirs, old, dirs.size() + first.size()).value, dirs + first);
    EXPECT_EQ(pathWithLibraries(dirs, old, dirs.size() + first.size() - 1).value, "C:\\lib");
    // A ";" inside quotes is no boundary.
    std::string quoted = "\"C:\\a;b\";C:\\c";
    EXPECT_EQ(pathWithLibraries(dirs, quoted, dirs.size() + 6).value, "C:\\lib");
}

// The runtime's bin directory must reach PATH whole; the old entries make room for it.
TEST(LibraryPath, AppendedDirectoryStaysWhole) {
    EXPECT_EQ(pathWithDirectoryAppended("C:\\a;C:\\b", "D:\\jre\\bin").value, "C:\\a;C:\\b;D:\\jre\\bin");
    PathValue tight = pathWithDirectoryAppended("C:\\a;C:\\b", "D:\\jre\\bin", 19);
    EXPECT_TRUE(tight.shortened);
    EXPECT_EQ(tight.value, "C:\\a;D:\\jre\\bin");
    EXPECT_EQ(pathWithDirectoryAppended("C:\\a;C:\\b", "D:\\jre\\bin", 14).value, ";D:\\jre\\bin");
}

}  // namespace
}  // namespace kestro
