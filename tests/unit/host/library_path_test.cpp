#include <gtest/gtest.h>

#include "host/console_attach.h"
#include "host/library_path.h"

namespace kestro {
namespace {

std::string inApp(std::string_view relative) { return "C:\\app\\" + std::string(relative); }

TEST(LibraryPath, RelativeDirectoriesResolvedInOrderAbsoluteOnesKept) {
    EXPECT_EQ(libraryDirectories("lib;native\\x64", inApp), "C:\\app\\lib;C:\\app\\native\\x64;");
    EXPECT_EQ(libraryDirectories(";;D:\\bin;\\\\srv\\share\\dll;;", inApp), "D:\\bin;\\\\srv\\share\\dll;");
    EXPECT_EQ(libraryDirectories("\"D:\\my libs\";lib", inApp), "\"D:\\my libs\";C:\\app\\lib;");
    // A quoted relative directory is resolved inside its quotes.
    EXPECT_EQ(libraryDirectories("\"my libs\"", inApp), "\"C:\\app\\my libs\";");
    EXPECT_EQ(libraryDirectories("", inApp), "");
    EXPECT_EQ(libraryDirectories(";", inApp), "");
}

TEST(LibraryPath, OldPathFollowsTheDirectories) {
    EXPECT_EQ(pathWithLibraries("C:\\a;", std::string("C:\\Windows")).value, "C:\\a;C:\\Windows");
    EXPECT_EQ(pathWithLibraries("", std::string("C:\\Windows")).value, "C:\\Windows");
    EXPECT_EQ(pathWithLibraries("C:\\a;", std::nullopt).value, "C:\\a;");
    EXPECT_EQ(pathWithLibraries("C:\\a;", std::string()).value, "C:\\a;");
    EXPECT_FALSE(pathWithLibraries("C:\\a;", std::string("C:\\Windows")).shortened);
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

TEST(LibraryPath, RealisticOverflowKeepsLibrariesAndMostOfTheOldPath) {
    std::string dirs = libraryDirectories("lib", inApp);
    std::string old;
    while (old.size() < 40000) old += "C:\\Program Files\\Tool" + std::to_string(old.size()) + ";";
    PathValue path = pathWithLibraries(dirs, old);
    EXPECT_TRUE(path.shortened);
    EXPECT_LE(path.value.size(), kPathValueLimit);
    EXPECT_GT(path.value.size(), kPathValueLimit - 40);
    EXPECT_EQ(path.value.substr(0, dirs.size()), dirs);
    EXPECT_EQ(old.substr(0, path.value.size() - dirs.size() + 1), path.value.substr(dirs.size()) + ";");
}

// The runtime's bin directory must reach PATH whole; the old entries make room for it.
TEST(LibraryPath, AppendedDirectoryStaysWhole) {
    EXPECT_EQ(pathWithDirectoryAppended("C:\\a;C:\\b", "D:\\jre\\bin").value, "C:\\a;C:\\b;D:\\jre\\bin");
    PathValue tight = pathWithDirectoryAppended("C:\\a;C:\\b", "D:\\jre\\bin", 19);
    EXPECT_TRUE(tight.shortened);
    EXPECT_EQ(tight.value, "C:\\a;D:\\jre\\bin");
    EXPECT_EQ(pathWithDirectoryAppended("C:\\a;C:\\b", "D:\\jre\\bin", 14).value, ";D:\\jre\\bin");
}

TEST(ConsoleAttach, AccessDeniedMeansTheProcessAlreadyHasOne) {
    EXPECT_TRUE(attachedToConsole(true, 0));
    EXPECT_TRUE(attachedToConsole(false, kErrorAccessDenied));
    EXPECT_FALSE(attachedToConsole(false, 6));   // ERROR_INVALID_HANDLE: the parent has no console
    EXPECT_FALSE(attachedToConsole(false, 87));  // ERROR_INVALID_PARAMETER: no such parent
}

}  // namespace
}  // namespace kestro
