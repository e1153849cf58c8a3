#include <gtest/gtest.h>

#include "tool/version_text.h"

namespace kestro::tool {
namespace {

int sign(int n) { return (n > 0) - (n < 0); }

TEST(VersionText, NumbersCompareAsNumbersAndABoundOnlyAsFarAsItGoes) {
    const std::vector<std::tuple<std::string, std::string, int>> cases{
        {"9.0.4", "11", -1},           {"17.0.2", "9", 1},           {"10", "9", 1},
        {"1.8.0_100", "1.8.0_60", 1},  {"1.8.0_201", "1.8", 0},      {"1.6.0_10", "1.6", 0},
        {"9.0.4", "1.8", 1},           {"1.8", "1.8.0", -1},         {"17.0.2+8", "17.0.2", 0},
        {"010", "9", 1},               {"1.8.0_202-b08", "1.8.0_202-b10", -1},
        {"99999999999999999999999", "99999999999999999999998", 1},
    };
    for (const auto& [version, bound, expected] : cases)
        EXPECT_EQ(sign(compareVersionToBound(version, bound)), expected) << version << " against " << bound;
}

TEST(VersionText, VersionTextsBeginWithANumberAndSeparateSegmentsOnce) {
    for (const char* text : {"1.8", "17", "17.0.2+8", "21-ea", "1.8.0_202-b08"}) EXPECT_TRUE(isVersionText(text)) << text;
    for (const char* text : {"", "v17", "1..8", "1.8.", ".8", "1.8 ", "java 8", "1.8/0", "-1"})
        EXPECT_FALSE(isVersionText(text)) << text;
}

}  // namespace
}  // namespace kestro::tool
