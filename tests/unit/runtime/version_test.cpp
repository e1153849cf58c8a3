// How version texts are read from a probe, ordered, held against bounds and chosen
// among registry family keys.
#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "runtime/registry_order.h"
#include "runtime/version_cache.h"
#include "format/version_order.h"
#include "runtime/version_probe.h"
#include "runtime/version_rules.h"
#include "support/trace_recorder.h"

namespace kestro {
namespace {

int sign(int v) { return (v > 0) - (v < 0); }

// Each row: the sign of compareVersions(a, b), compareWithBound(a, b) and
// compareCommonSegments(a, b).
TEST(VersionOrder, Comparisons) {
    struct Case { const char* a; const char* b; int whole, bound, common; };
    for (const Case& c : std::initializer_list<Case>{
             // Segments of digits compare as numbers, of any length.
             {"10", "1.8", 1, 1, 1}, {"9", "11", -1, -1, -1}, {"21", "17.0.2", 1, 1, 1},
             {"9.0.4", "1.8.0_201", 1, 1, 1}, {"1.8.0_100", "1.8.0_60", 1, 1, 1}, {"11.0.20+8", "11.0.3+7", 1, 1, 1},
             {"1.99999999999999999999999", "1.100000000000000000000000", -1, -1, -1}, {"17.0.2", "17.0.2", 0, 0, 0},
             // Equal numbers written differently stay apart by their bytes, and only as whole texts.
             {"1.08", "1.8", -1, 0, 0}, {"1.08", "1.9", -1, -1, -1},
             // Where the segments agree, the shorter text sorts first; a bound counts its own segments only.
             {"1.8", "1.8.0_10", -1, -1, 0}, {"1.8.0_201", "1.8", 1, 0, 0}, {"1.8", "", 1, 0, 0},
             {"", "1.6", -1, -1, 0},
             {"1.8.0_2", "1.8.0_10", -1, -1, -1}, {"1.8.0_201", "1.8.0_2", 1, 1, 1},
             // Segments with letters compare byte-wise.
             {"1.8.0-ea", "1.8.0", 1, 0, 0}, {"1.8.0-rc", "1.8.0-ea", 1, 1, 1}, {"1.8.0_x", "1.8.0_X", 1, 1, 1},
             // A probe's first line may go on after the version: only the version part compares.
             {"11.0.2\" 2019-01-1", "11.0.2", 1, 0, 0}, {"11.0.2\" 2019-01-1", "11.0.10", -1, -1, -1},
         }) {
        EXPECT_EQ(sign(compareVersions(c.a, c.b)), c.whole) << c.a << " vs " << c.b;
        EXPECT_EQ(sign(compareWithBound(c.a, c.b)), c.bound) << c.a << " vs " << c.b;
        EXPECT_EQ(sign(compareCommonSegments(c.a, c.b)), c.common) << c.a << " vs " << c.b;
    }
    EXPECT_EQ(comparableVersion("17-ea+3"), "17-ea+3");
}

TEST(VersionRules, BoundsAndPrereleases) {
    struct Case { const char* version; const char* lower; const char* upper; bool allowPrerelease, accepted; };
    for (const Case& c : std::initializer_list<Case>{
             // Before Java 9 a bound admits the releases it is a prefix of.
             {"1.8.0_201", "1.6", "1.8", true, true}, {"1.6.0_10", "1.6", "1.8", true, true},
             {"1.5.0_22", "1.6", "1.8", true, false}, {"9.0.4", "1.6", "1.8", true, false},
             {"1.8", "1.8.0_10", "", true, false}, {"1.8", "", "1.8.0_10", true, true}, {"x", "", "", true, true},
             // From Java 9 on the numbers count, where a byte comparison went wrong.
             {"9.0.4", "11", "", true, false}, {"9", "17", "", true, false}, {"10.0.2", "17", "", true, false},
             {"17.0.2", "9", "", true, true}, {"21.0.1", "11", "17", true, false}, {"17.0.10", "11", "17", true, true},
             {"1.8.0_100", "1.8.0_60", "", true, true},
             // Pre-releases only when allowed; the markers are case-sensitive.
             {"1.8.0-ea", "", "", false, false}, {"9-beta", "", "", false, false}, {"11-rc2", "", "", false, false},
             {"1.7.0-release", "", "", false, false}, {"11-rc2", "", "", true, true},
             {"1.8.0-EA-RC", "", "", false, true},
         }) {
        configTables().strings.clear();
        testing::clearTrace();
        EXPECT_EQ(acceptVersion(c.version, c.lower, c.upper, c.allowPrerelease), c.accepted) << c.version;
        using Lines = std::vector<std::string>;
        bool filtered = !c.allowPrerelease && !c.accepted;
        EXPECT_EQ(testing::tracedLines(), filtered ? Lines{"beta vm not allowed"} : Lines{}) << c.version;
    }
    // The configuration may allow them too; the bounds still hold.
    configTables().strings[key::AllowPrerelease] = "1";
    EXPECT_TRUE(acceptVersion("1.8.0-ea", "", "", false));
    EXPECT_FALSE(acceptVersion("1.8.0-ea", "1.9", "", false));
    configTables().strings.clear();
}

TEST(RegistryOrder, FamilyKeysInRangeAndTriedFromTheNewest) {
    struct Case { const char* name; const char* lower; const char* upper; bool inRange; };
    for (const Case& c : std::initializer_list<Case>{
             {"1.6", "1.6.0_10", "", true},  // the family may hold a qualifying update
             {"1.8.0_201", "1.6", "1.8", true}, {"1.5", "1.6", "", false}, {"9", "", "1.8", false},
             {"10", "", "1.8", false}, {"9", "11", "", false}, {"17", "11", "21", true}, {"x", "", "", true},
             {"", "1.6", "1.8", true},  // an empty name compares over no segments
         })
        EXPECT_EQ(keyNameInRange(c.name, c.lower, c.upper), c.inRange) << c.name;

    using Names = std::vector<std::string>;
    EXPECT_EQ(namesToTry({"1.6", "1.6.0_45", "1.7", "1.8", "1.8.0_201"}, "", ""),
              (Names{"1.8.0_201", "1.8", "1.7", "1.6.0_45", "1.6"}));
    EXPECT_EQ(namesToTry({"1.8", "9", "10", "17", "21"}, "", ""), (Names{"21", "17", "10", "9", "1.8"}));
    EXPECT_EQ(namesToTry({"1.6", "1.7", "1.8", "9"}, "1.7", "1.8"), (Names{"1.8", "1.7"}));
}

TEST(VersionProbe, FirstLineGivesTheQuotedVersion) {
    struct Case { const char* line; std::optional<std::string> version; };
    for (const Case& c : std::initializer_list<Case>{
             {"java version \"1.8.0_201\"\n", "1.8.0_201"}, {"openjdk version \"1.8.0_201\"\n", "1.8.0_201"},
             // A continuation after the quote is kept less its last character.
             {"openjdk version \"11.0.2\" 2019-01-15\n", "11.0.2\" 2019-01-1"},
             // Without a line end (the last line, or one cut at 99 characters) only one goes.
             {"java version \"1.8.0_201\"", "1.8.0_201"},
             {"", {}}, {"\n", {}}, {"Java version \"1.8.0\"\n", {}}, {"java version 1.8.0\n", {}},
             {"openjdk  version \"1\"\n", {}}, {"Error: could not create the Java Virtual Machine.\n", {}},
             {"java version \"\"\n", {}}, {"java version \"\n", {}}, {"java version \"1", {}},
         })
        EXPECT_EQ(versionFromProbeLine(c.line), c.version) << c.line;

    EXPECT_EQ(probeCommandLine("C:\\Program Files\\Java\\bin\\java.exe"),
              "\"C:\\Program Files\\Java\\bin\\java.exe\" -version");
    // The cache key holds the path as one name.
    EXPECT_EQ(versionCacheKey("c:\\program files\\java\\jre7\\bin\\java.exe"),
              "SOFTWARE\\quenfield\\kestro\\jvms\\c:/program files/java/jre7/bin/java.exe");
}

}  // namespace
}  // namespace kestro
