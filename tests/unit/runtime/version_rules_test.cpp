#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "runtime/version_rules.h"
#include "support/trace_recorder.h"

namespace kestro {
namespace {

TEST(VersionRules, BoundsCompareBytePrefixesOfTheBoundsLength) {
    EXPECT_TRUE(acceptVersion("1.8.0_201", "1.6", "1.8", true));
    EXPECT_FALSE(acceptVersion("1.5.0_22", "1.6", "1.8", true));
    EXPECT_FALSE(acceptVersion("9.0.4", "1.6", "1.8", true));        // the byte 9 is above 1
    EXPECT_FALSE(acceptVersion("1.8.0_60", "", "1.8.0_100", true));  // bytes, not numbers
    EXPECT_TRUE(acceptVersion("anything", "", "", true));
    // The end of a shorter version reads as a zero byte, below every character.
    EXPECT_FALSE(passesLowerBound("1.8", "1.8.0_10"));
    EXPECT_TRUE(passesUpperBound("1.8", "1.8.0_10"));
    EXPECT_TRUE(passesLowerBound("\xe9", "z"));  // unsigned bytes
}

TEST(VersionRules, PrereleaseFilterAppliesUnlessAllowed) {
    configTables().strings.clear();
    for (const char* pre : {"1.8.0-ea", "9-beta", "11-rc2", "1.7.0-release"}) {
        testing::clearTrace();
        EXPECT_FALSE(acceptVersion(pre, "", "", false)) << pre;
        EXPECT_EQ(testing::tracedLines(), std::vector<std::string>{"beta vm not allowed"}) << pre;
        EXPECT_TRUE(acceptVersion(pre, "", "", true)) << pre;
    }
    EXPECT_TRUE(acceptVersion("1.8.0-EA-RC", "", "", false));  // case-sensitive

    configTables().strings[key::AllowPrerelease] = "1";
    EXPECT_FALSE(acceptVersion("1.8.0-ea", "1.9", "", false));  // the bounds still hold
    configTables().strings.clear();
}

}  // namespace
}  // namespace kestro
