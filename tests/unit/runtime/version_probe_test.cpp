#include <gtest/gtest.h>

#include "runtime/version_cache.h"
#include "runtime/version_probe.h"

namespace kestro {
namespace {

TEST(VersionProbe, FirstLineGivesTheQuotedVersion) {
    EXPECT_EQ(versionFromProbeLine("java version \"1.8.0_201\"\n"), "1.8.0_201");
    EXPECT_EQ(versionFromProbeLine("openjdk version \"1.8.0_201\"\n"), "1.8.0_201");
    // A continuation after the quote is kept less its last character.
    EXPECT_EQ(versionFromProbeLine("openjdk version \"11.0.2\" 2019-01-15\n"), "11.0.2\" 2019-01-1");
    // Without a line end (the last line, or one cut at 99 characters) only one goes.
    EXPECT_EQ(versionFromProbeLine("java version \"1.8.0_201\""), "1.8.0_201");
}

TEST(VersionProbe, OtherLinesAndEmptyVersionsGiveNone) {
    for (const char* line : {"", "\n", "Java version \"1.8.0\"\n", "java version 1.8.0\n", "openjdk  version \"1\"\n",
                             "Error: could not create the Java Virtual Machine.\n", "java version \"\"\n",
                             "java version \"\n", "java version \"1"})
        EXPECT_EQ(versionFromProbeLine(line), std::nullopt) << line;
}

TEST(VersionProbe, CommandLineQuotesTheProgramAndKeyHoldsThePathAsOneName) {
    EXPECT_EQ(probeCommandLine("C:\\Program Files\\Java\\bin\\java.exe"),
              "\"C:\\Program Files\\Java\\bin\\java.exe\" -version");
    EXPECT_EQ(versionCacheKey("c:\\program files\\java\\jre7\\bin\\java.exe"),
              "SOFTWARE\\quenfield\\kestro\\jvms\\c:/program files/java/jre7/bin/java.exe");
}

}  // namespace
}  // namespace kestro
