#include <gtest/gtest.h>

#include <climits>

#include "config/config_tables.h"

namespace kestro {
namespace {

TEST(LookupInt, ReadsLikeTheCRuntimeAndSaturates) {
    struct Case { const char* text; int32_t value; };
    for (const Case& c : std::initializer_list<Case>{
             {"12abc", 12}, {" -3", -3}, {"\t\n+7", 7}, {"\r 9", 9}, {"abc", 0}, {"", 0}, {"- 3", 0},
             // Out of range: saturated at the 32-bit limits.
             {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN},
             {"99999999999999999999999999", INT_MAX},
         })
        EXPECT_EQ(parseDecimalInt(c.text), c.value) << c.text;
}

TEST(LookupString, EndsAtTheFirstZeroAndAbsentKeysAreEmpty) {
    auto& strings = configTables().strings;
    strings[122] = std::string("ab\0cd", 5);
    strings[107] = "5 ";
    EXPECT_EQ(lookupString(122), "ab");
    EXPECT_EQ(lookupString(999), "");
    EXPECT_EQ(lookupInt(107), 5);
    EXPECT_EQ(lookupInt(999), 0);
    strings.clear();
}

}  // namespace
}  // namespace kestro
