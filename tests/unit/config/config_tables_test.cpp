#include <gtest/gtest.h>

#include <climits>

#include "config/config_tables.h"

namespace kestro {
namespace {

TEST(LookupInt, ReadsLikeTheCRuntimeAndSaturates) {
    EXPECT_EQ(parseDecimalInt("12abc"), 12);
    EXPECT_EQ(parseDecimalInt(" -3"), -3);
    EXPECT_EQ(parseDecimalInt("\t\n+7"), 7);
    EXPECT_EQ(parseDecimalInt("abc"), 0);
    EXPECT_EQ(parseDecimalInt(""), 0);
    EXPECT_EQ(parseDecimalInt("- 3"), 0);
    // Out of range: saturated at the 32-bit limits.
    EXPECT_EQ(parseDecimalInt("2147483647"), INT_MAX);
    EXPECT_EQ(parseDecimalInt("2147483648"), INT_MAX);
    EXPECT_EQ(parseDecimalInt("-2147483648"), INT_MIN);
    EXPECT_EQ(parseDecimalInt("-2147483649"), INT_MIN);
    EXPECT_EQ(parseDecimalInt("99999999999999999999999999"), INT_MAX);
}

TEST(LookupString, CutsAtTheFirstZeroAndAtTheCapacity) {
    auto& strings = configTables().strings;
    strings[122] = std::string("ab\0cd", 5);
    strings[152] = std::string(300, 'x');
    strings[107] = "5 ";
    EXPECT_EQ(lookupString(122), "ab");
    EXPECT_EQ(lookupString(152, 200).size(), 199u);
    EXPECT_EQ(lookupString(999), "");
    EXPECT_EQ(lookupInt(107), 5);
    EXPECT_EQ(lookupInt(999), 0);
    strings.clear();
}

}  // namespace
}  // namespace kestro
