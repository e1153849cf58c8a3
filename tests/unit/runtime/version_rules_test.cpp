#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "runtime/version_rules.h"
#include "support/trace_recorder.h"

namespace kestro {
namespace {

class VersionRules : public ::testing::Test {
protected:
    void SetUp() override {
        configTables().strings.clear();
        testing::clearTrace();
    }
    void TearDown() override { configTables().strings.clear(); }
};

TEST_F(VersionRules, BoundsComparePrefixesOfTheBoundsLength) {
    EXPECT_TRUE(acceptVersion("1.8.0_201", "1.6", "1.8", false));
    EXPECT_FALSE(acceptVersion("1.5.0_22", "1.6", "1.8", false));
    EXPECT_FALSE(acceptVersion("9.0.4", "1.6", "1.8", false));  // byte-wise, 9 is above 1
    EXPECT_TRUE(acceptVersion("1.6.0_10", "1.6", "", false));
    EXPECT_TRUE(acceptVersion("1.8.0_201", "1.8.0_201", "1.8.0_201", false));
    EXPECT_FALSE(acceptVersion("1.8.0_200", "1.8.0_201", "", false));
    // Byte-wise, not numeric: "1.8.0_60" sorts above "1.8.0_100".
    EXPECT_FALSE(acceptVersion("1.8.0_60", "", "1.8.0_100", false));
    EXPECT_TRUE(acceptVersion("10.0.1", "1.8", "", false));
    EXPECT_TRUE(acceptVersion("anything", "", "", false));
}

TEST_F(VersionRules, AShorterVersionEndsBeforeTheBound) {
    // The end of the text reads as a zero byte, below every character.
    EXPECT_FALSE(passesLowerBound("1.8", "1.8.0_10"));
    EXPECT_TRUE(passesUpperBound("1.8", "1.8.0_10"));
    EXPECT_TRUE(passesLowerBound("", ""));
    EXPECT_FALSE(passesLowerBound("", "1"));
    // Bytes above 127 compare unsigned.
    EXPECT_TRUE(passesLowerBound("\xe9", "z"));
    EXPECT_EQ(compareVersionPrefix("1.8.0", "1.8.1", 4), 0);
    EXPECT_LT(compareVersionPrefix("1.8.0", "1.8.1", 5), 0);
}

TEST_F(VersionRules, PrereleaseFilterAppliesUnlessAllowed) {
    for (const char* pre : {"1.8.0-ea", "9-beta", "11-rc2", "1.7.0-release"}) {
        testing::clearTrace();
        EXPECT_FALSE(acceptVersion(pre, "", "", false)) << pre;
        EXPECT_EQ(testing::tracedLines(), std::vector<std::string>{"beta vm not allowed"}) << pre;
        EXPECT_TRUE(acceptVersion(pre, "", "", true)) << pre;
    }
    // Case-sensitive: "EA" and "RC" are no markers.
    EXPECT_TRUE(acceptVersion("1.8.0-EA-RC", "", "", false));

    configTables().strings[key::AllowPrerelease] = "1";
    EXPECT_TRUE(acceptVersion("1.8.0-ea", "", "", false));
    // Allowing pre-release builds does not lift the bounds.
    EXPECT_FALSE(acceptVersion("1.8.0-ea", "1.9", "", false));
}

}  // namespace
}  // namespace kestro
