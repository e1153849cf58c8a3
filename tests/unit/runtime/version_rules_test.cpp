#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "runtime/version_rules.h"
#include "support/trace_recorder.h"

namespace kestro {
namespace {

TEST(VersionRules, BoundsHoldForEveryJavaVersionScheme) {
    // As before Java 9: a bound admits the releases it is a prefix of.
    EXPECT_TRUE(acceptVersion("1.8.0_201", "1.6", "1.8", true));
    EXPECT_TRUE(acceptVersion("1.6.0_10", "1.6", "1.8", true));
    EXPECT_FALSE(acceptVersion("1.5.0_22", "1.6", "1.8", true));
    EXPECT_FALSE(acceptVersion("9.0.4", "1.6", "1.8", true));
    EXPECT_TRUE(acceptVersion("anything", "", "", true));
    EXPECT_FALSE(passesLowerBound("1.8", "1.8.0_10"));
    EXPECT_TRUE(passesUpperBound("1.8", "1.8.0_10"));
    // From Java 9 on the numbers count, where a byte comparison went wrong.
    EXPECT_FALSE(acceptVersion("9.0.4", "11", "", true));
    for (const char* old : {"9", "9.0.4", "10.0.2"}) EXPECT_FALSE(acceptVersion(old, "17", "", true)) << old;
    EXPECT_TRUE(acceptVersion("17.0.2", "9", "", true));
    EXPECT_FALSE(acceptVersion("21.0.1", "11", "17", true));
    EXPECT_TRUE(acceptVersion("17.0.10", "11", "17", true));
    EXPECT_TRUE(acceptVersion("1.8.0_100", "1.8.0_60", "", true));
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
