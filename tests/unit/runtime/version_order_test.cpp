#include <gtest/gtest.h>

#include "format/version_order.h"

namespace kestro {
namespace {

int order(std::string_view a, std::string_view b) {
    int c = compareVersions(a, b);
    return (c > 0) - (c < 0);
}

TEST(VersionOrder, SegmentsOfDigitsCompareAsNumbers) {
    EXPECT_EQ(order("10", "9"), 1);
    EXPECT_EQ(order("21", "17.0.2"), 1);
    EXPECT_EQ(order("9.0.4", "1.8.0_201"), 1);
    EXPECT_EQ(order("1.8.0_100", "1.8.0_60"), 1);
    EXPECT_EQ(order("11.0.20+8", "11.0.3+7"), 1);
    EXPECT_EQ(order("17.0.2", "17.0.2"), 0);
    // Numbers of any length, leading zeros aside.
    EXPECT_EQ(order("1.99999999999999999999999", "1.100000000000000000000000"), -1);
    EXPECT_NE(order("1.08", "1.8"), 0);  // equal numbers written differently stay apart by their bytes
    EXPECT_EQ(order("1.08", "1.9"), -1);
}

TEST(VersionOrder, FewerSegmentsAndLettersSortLikeText) {
    EXPECT_EQ(order("1.8", "1.8.0_201"), -1);  // where the segments agree, the shorter text first
    EXPECT_EQ(order("1.8", ""), 1);
    EXPECT_EQ(order("1.8.0-ea", "1.8.0"), 1);
    EXPECT_EQ(order("1.8.0-rc", "1.8.0-ea"), 1);  // segments with letters compare byte-wise
    EXPECT_EQ(order("1.8.0_x", "1.8.0_X"), 1);
}

TEST(VersionOrder, BoundsCompareOnlyTheBoundsSegments) {
    EXPECT_EQ(compareWithBound("1.8.0_201", "1.8"), 0);
    EXPECT_EQ(compareWithBound("1.6.0_10", "1.6"), 0);
    EXPECT_LT(compareWithBound("1.8", "1.8.0_10"), 0);  // runs out of segments first
    EXPECT_LT(compareWithBound("1.8.0_2", "1.8.0_10"), 0);
    EXPECT_GT(compareWithBound("1.8.0_201", "1.8.0_2"), 0);  // whole segments, not byte prefixes
    EXPECT_EQ(compareWithBound("anything", ""), 0);
}

TEST(VersionOrder, CommonSegmentsForFamilyKeys) {
    EXPECT_EQ(compareCommonSegments("1.6", "1.6.0_10"), 0);
    EXPECT_LT(compareCommonSegments("9", "11"), 0);
    EXPECT_GT(compareCommonSegments("10", "1.8"), 0);
    EXPECT_EQ(compareCommonSegments("", "1.6"), 0);
}

// A probe's first line may go on after the closing quote of the version.
TEST(VersionOrder, OnlyTheVersionPartOfAProbedTextCompares) {
    EXPECT_EQ(comparableVersion("11.0.2\" 2019-01-1"), "11.0.2");
    EXPECT_EQ(compareWithBound("11.0.2\" 2019-01-1", "11.0.2"), 0);
    EXPECT_EQ(compareWithBound("11.0.2\" 2019-01-1", "11.0.10"), -1);
    EXPECT_EQ(comparableVersion("17-ea+3"), "17-ea+3");
}

}  // namespace
}  // namespace kestro
