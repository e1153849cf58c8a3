#include <gtest/gtest.h>

#include "runtime/version_cache.h"
#include "runtime/version_probe.h"

namespace kestro {
namespace {

TEST(VersionProbe, BothFirstLineFormsGiveTheQuotedVersion) {
    EXPECT_EQ(versionFromProbeLine("java version \"1.8.0_201\"\n"), "1.8.0_201");
    EXPECT_EQ(versionFromProbeLine("openjdk version \"1.8.0_201\"\n"), "1.8.0_201");
    EXPECT_EQ(versionFromProbeLine("java version \"1.7.0_80\"\n"), "1.7.0_80");
}

TEST(VersionProbe, AContinuationAfterTheQuoteIsKeptLessItsLastCharacter) {
    EXPECT_EQ(versionFromProbeLine("openjdk version \"11.0.2\" 2019-01-15\n"), "11.0.2\" 2019-01-1");
    // Cut at 99 characters, the line has no line end; one character goes.
    std::string cut = "java version \"1.8.0_201\" " + std::string(99 - 25, 'x');
    ASSERT_EQ(cut.size(), 99u);
    EXPECT_EQ(versionFromProbeLine(cut), cut.substr(14, 99 - 14 - 1));
}

TEST(VersionProbe, ALastLineWithoutLineEndKeepsItsVersion) {
    EXPECT_EQ(versionFromProbeLine("java version \"1.8.0_201\""), "1.8.0_201");
}

TEST(VersionProbe, OtherLinesAndEmptyVersionsGiveNone) {
    for (const char* line : {"", "\n", "Java version \"1.8.0\"\n", "java version 1.8.0\n", "openjdk  version \"1\"\n",
                             "Error: could not create the Java Virtual Machine.\n", "java version \"\"\n",
                             "java version \"\n", "java version \"", "java version \"1"})
        EXPECT_EQ(versionFromProbeLine(line), std::nullopt) << line;
}

TEST(VersionProbe, TheProgramIsQuotedSoItsSpacesCannotSplitIt) {
    EXPECT_EQ(probeCommandLine("C:\\Program Files\\Java\\bin\\java.exe"),
              "\"C:\\Program Files\\Java\\bin\\java.exe\" -version");
    EXPECT_EQ(probeCommandLine("C:\\PROGRA~1\\java.exe"), "\"C:\\PROGRA~1\\java.exe\" -version");
}

TEST(VersionCache, KeyHoldsThePathAsOneName) {
    EXPECT_EQ(versionCacheKey("c:\\program files\\java\\jre7\\bin\\java.exe"),
              "SOFTWARE\\quenfield\\kestro\\jvms\\c:/program files/java/jre7/bin/java.exe");
    EXPECT_EQ(versionCacheKey(""), "SOFTWARE\\quenfield\\kestro\\jvms\\");
}

}  // namespace
}  // namespace kestro
