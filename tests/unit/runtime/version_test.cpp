// How version texts are read from a probe, ordered, held against bounds and chosen
// among registry family keys.
#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "runtime/registry_order.h"
#include "runtime/registry_sources.h"
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

// Each row: the version, the bounds, whether the caller allows pre-releases, and the
// start of the reason it is refused ("" when accepted).
TEST(VersionRules, BoundsAndPrereleases) {
    struct Case { const char *version, *lower, *upper; bool allowPrerelease; const char* refused; };
    const char *outside = "needs", *pre = "is a pre-release";
    for (const Case& c : std::initializer_list<Case>{
             // Before Java 9 a bound admits the releases it is a prefix of.
             {"1.8.0_201", "1.6", "1.8", true, ""}, {"1.6.0_10", "1.6", "1.8", true, ""},
             {"1.5.0_22", "1.6", "1.8", true, outside}, {"9.0.4", "1.6", "1.8", true, outside},
             {"1.8", "1.8.0_10", "", true, outside}, {"1.8", "", "1.8.0_10", true, ""}, {"x", "", "", true, ""},
             // From Java 9 on the numbers count, where a byte comparison went wrong.
             {"9.0.4", "11", "", true, outside}, {"9", "17", "", true, outside}, {"10.0.2", "17", "", true, outside},
             {"17.0.2", "9", "", true, ""}, {"21.0.1", "11", "17", true, outside}, {"17.0.10", "11", "17", true, ""},
             {"1.8.0_100", "1.8.0_60", "", true, ""},
             // Pre-releases only when allowed; the markers are case-sensitive.
             {"1.8.0-ea", "", "", false, pre}, {"9-beta", "", "", false, pre}, {"11-rc2", "", "", false, pre},
             {"1.7.0-release", "", "", false, pre}, {"11-rc2", "", "", true, ""},
             {"1.8.0-EA-RC", "", "", false, ""},
         }) {
        configTables().strings.clear();
        testing::clearTrace();
        std::string reason;
        EXPECT_EQ(acceptVersion(c.version, c.lower, c.upper, c.allowPrerelease, &reason), !*c.refused) << c.version;
        std::string want = !*c.refused        ? ""
                           : c.refused == pre ? "version " + std::string(c.version) + " " + pre
                                              : "version " + std::string(c.version) + ", " + outside;
        EXPECT_TRUE(reason.starts_with(want) && reason.empty() == want.empty()) << reason;
        using Lines = std::vector<std::string>;
        EXPECT_EQ(testing::tracedLines(), c.refused == pre ? Lines{"beta vm not allowed"} : Lines{}) << c.version;
    }
    // The reason names the version and what the bounds admit.
    EXPECT_EQ(versionRejection("1.8.0_201", "11", "", true), "version 1.8.0_201, needs 11 or later");
    EXPECT_EQ(versionRejection("21.0.1", "11", "17", true), "version 21.0.1, needs 11 to 17");
    EXPECT_EQ(versionRejection("9.0.4", "", "1.8", true), "version 9.0.4, needs 1.8 or earlier");
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

// Today's sources: which version keys are tried in which order, where their "Path" lies,
// and which of the runtimes the sources found is taken.
TEST(RegistrySources, KeyLayoutsAndTheChoiceAmongSources) {
    const RegistrySource& javaSoft = registrySources()[0];  // version keys named as the runtime names itself
    const RegistrySource& temurin = registrySources()[2];   // MSI product versions
    using Names = std::vector<std::string>;
    struct Case { const RegistrySource& source; Names names; const char* lower; const char* upper; Names tried; };
    const Names products{"8.0.392.8", "21.0.2.13", "17.0.10.7", "11.0.22.7"};
    for (const Case& c : std::initializer_list<Case>{
             {temurin, products, "", "", {"21.0.2.13", "17.0.10.7", "11.0.22.7", "8.0.392.8"}},
             {temurin, products, "", "1.8", {"8.0.392.8"}},  // Java 8's product version is 1.8's
             {temurin, products, "11", "17", {"17.0.10.7", "11.0.22.7"}},
             {temurin, products, "1.8.0_400", "1.8", {}},
             {javaSoft, {"17", "1.8", "21.0.1"}, "11", "", {"21.0.1", "17"}},
             // Names that compare alike keep the registry's order.
             {temurin, {"8.0.392.8", "21", "1.8.0.392.8"}, "", "", {"21", "8.0.392.8", "1.8.0.392.8"}},
             {temurin, {"1.8.0.392.8", "21", "8.0.392.8"}, "", "", {"21", "1.8.0.392.8", "8.0.392.8"}},
         })
        EXPECT_EQ(versionKeysToTry(c.source, c.names, c.lower, c.upper), c.tried) << c.lower << " " << c.upper;

    EXPECT_EQ(installerPathKey("hotspot"), "hotspot\\MSI");
    EXPECT_EQ(installerPathKey("msi"), "msi");  // the layout before the VM sub-key
    EXPECT_EQ(homeFromInstallerPath("C:\\Program Files\\Eclipse Adoptium\\jdk-21.0.2.13-hotspot\\"),
              "C:\\Program Files\\Eclipse Adoptium\\jdk-21.0.2.13-hotspot");

    // The newest wins; of equal versions the first found.
    struct Choice { std::vector<const char*> versions; int chosen; };
    for (const Choice& c : std::initializer_list<Choice>{
             {{"17.0.2", "21.0.1", "1.8.0_201"}, 1}, {{"17.0.2", "17.0.2"}, 0}, {{"9", "10"}, 1}, {{}, -1}}) {
        std::vector<FoundRuntime> found;
        for (const char* v : c.versions) found.push_back({"java" + std::to_string(found.size()), v});
        const FoundRuntime* newest = newestRuntime(found);
        EXPECT_EQ(newest ? int(newest - found.data()) : -1, c.chosen) << c.versions.size();
    }
}

TEST(VersionProbe, FirstLineGivesTheQuotedVersion) {
    struct Case { const char* line; std::optional<std::string> version; };
    for (const Case& c : std::initializer_list<Case>{
             {"java version \"1.8.0_201\"\n", "1.8.0_201"}, {"openjdk version \"1.8.0_201\"\n", "1.8.0_201"},
             // The date that follows the version since Java 10 is not part of it.
             {"openjdk version \"11.0.2\" 2019-01-15\n", "11.0.2"},
             {"java version \"17.0.2\" 2022-01-18 LTS\n", "17.0.2"},
             // Without a line end (the last line, or one cut at 99 characters) only one goes.
             {"java version \"1.8.0_201\"", "1.8.0_201"},
             {"", {}}, {"\n", {}}, {"Java version \"1.8.0\"\n", {}}, {"java version 1.8.0\n", {}},
             {"openjdk  version \"1\"\n", {}}, {"Error: could not create the Java Virtual Machine.\n", {}},
             {"java version \"\"\n", {}}, {"java version \"\n", {}}, {"java version \"1", {}},
         })
        EXPECT_EQ(versionFromProbeLine(c.line), c.version) << c.line;

    // The version line may come after notes on the options the runtime picked up; every
    // line is read as a first line is. Only so many lines are looked at.
    const std::string notes = "Picked up JAVA_TOOL_OPTIONS: -Dfile.encoding=UTF-8\r\n"
                              "NOTE: Picked up JDK_JAVA_OPTIONS: -Xmx1g\r\nPicked up _JAVA_OPTIONS: -Da=b\r\n";
    const std::string longNote = "Picked up JAVA_TOOL_OPTIONS: " + std::string(40000, 'x') + "java version \"6\"\r\n";
    std::string warnings;  // all lines but one of those looked at
    for (size_t i = 1; i < kProbeLineLimit; ++i) warnings += "OpenJDK 64-Bit Server VM warning: Options\r\n";
    struct OutputCase { std::string output; std::optional<std::string> version; };
    for (const OutputCase& c : std::initializer_list<OutputCase>{
             {"openjdk version \"17.0.2\" 2022-01-18\r\nOpenJDK Runtime Environment\r\n", "17.0.2"},
             {notes + "openjdk version \"17.0.2\" 2022-01-18\r\n", "17.0.2"},
             {longNote + "java version \"1.8.0_201\"\r\n", "1.8.0_201"},
             {"Picked up JAVA_TOOL_OPTIONS: java version \"6\"\n\njava version \"1.8.0_201\"", "1.8.0_201"},
             {"java version \"" + std::string(120, '9') + "\"\r\n", std::string(84, '9')},
             {warnings + "java version \"11\"\r\n", "11"},
             {warnings + "Error: one line too many\r\njava version \"11\"\r\n", {}},
             {notes, {}}, {"", {}},
         })
        EXPECT_EQ(versionFromProbeOutput(c.output), c.version) << c.output.substr(0, 60);

    EXPECT_EQ(probeCommandLine("C:\\Program Files\\Java\\bin\\java.exe"),
              "\"C:\\Program Files\\Java\\bin\\java.exe\" -version");
    // The cache key holds the path as one name.
    EXPECT_EQ(versionCacheKey("c:\\program files\\java\\jre7\\bin\\java.exe"),
              "SOFTWARE\\quenfield\\kestro\\jvms\\c:/program files/java/jre7/bin/java.exe");
}

}  // namespace
}  // namespace kestro
