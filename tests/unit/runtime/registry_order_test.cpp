#include <gtest/gtest.h>

#include "runtime/registry_order.h"

namespace kestro {
namespace {

using Names = std::vector<std::string>;

TEST(RegistryOrder, KeyNamesCompareOverTheSegmentsOfTheShorter) {
    EXPECT_TRUE(keyNameInRange("1.6", "1.6.0_10", ""));  // the family may hold a qualifying update
    EXPECT_TRUE(keyNameInRange("1.8.0_201", "1.6", "1.8"));
    EXPECT_FALSE(keyNameInRange("1.5", "1.6", ""));
    EXPECT_FALSE(keyNameInRange("9", "", "1.8"));
    EXPECT_FALSE(keyNameInRange("10", "", "1.8"));
    EXPECT_FALSE(keyNameInRange("9", "11", ""));
    EXPECT_TRUE(keyNameInRange("17", "11", "21"));
    EXPECT_TRUE(keyNameInRange("anything", "", ""));
    EXPECT_TRUE(keyNameInRange("", "1.6", "1.8"));  // an empty name compares over no bytes
}

TEST(RegistryOrder, NamesAreTriedFromTheNewest) {
    EXPECT_EQ(namesToTry({"1.6", "1.6.0_45", "1.7", "1.8", "1.8.0_201"}, "", ""),
              (Names{"1.8.0_201", "1.8", "1.7", "1.6.0_45", "1.6"}));
    EXPECT_EQ(namesToTry({"1.8", "9", "10", "17", "21"}, "", ""), (Names{"21", "17", "10", "9", "1.8"}));
    EXPECT_EQ(namesToTry({"1.6", "1.7", "1.8", "9"}, "1.7", "1.8"), (Names{"1.8", "1.7"}));
}

}  // namespace
}  // namespace kestro
