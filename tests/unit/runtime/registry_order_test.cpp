#include <gtest/gtest.h>

#include "runtime/registry_order.h"

namespace kestro {
namespace {

using Names = std::vector<std::string>;

TEST(RegistryOrder, KeyNamesCompareOverTheShorterLength) {
    EXPECT_TRUE(keyNameInRange("1.6", "1.6.0_10", ""));  // the family may hold a qualifying update
    EXPECT_TRUE(keyNameInRange("1.8.0_201", "1.6", "1.8"));
    EXPECT_FALSE(keyNameInRange("1.5", "1.6", ""));
    EXPECT_FALSE(keyNameInRange("9", "", "1.8"));
    EXPECT_FALSE(keyNameInRange("10", "", "1.8"));  // "10" against "1.": "0" is above "."
    EXPECT_TRUE(keyNameInRange("anything", "", ""));
    EXPECT_TRUE(keyNameInRange("", "1.6", "1.8"));  // an empty name compares over no bytes
}

TEST(RegistryOrder, NamesAreTriedFromTheGreatestByteWise) {
    EXPECT_EQ(namesToTry({"1.6", "1.6.0_45", "1.7", "1.8", "1.8.0_201"}, "", ""),
              (Names{"1.8.0_201", "1.8", "1.7", "1.6.0_45", "1.6"}));
    EXPECT_EQ(namesToTry({"1.8", "9", "10"}, "", ""), (Names{"9", "10", "1.8"}));
    EXPECT_EQ(namesToTry({"1.6", "1.7", "1.8", "9"}, "1.7", "1.8"), (Names{"1.8", "1.7"}));
}

TEST(RegistryOrder, VersionsOrderAsWholeTexts) {
    EXPECT_TRUE(versionGreater("1.8.0_60", "1.8.0_100"));
    EXPECT_TRUE(versionGreater("1.8.0_201", "1.8"));
    EXPECT_FALSE(versionGreater("1.8.0_201", "1.8.0_201"));
    EXPECT_TRUE(versionGreater("1.8", ""));
    EXPECT_TRUE(versionGreater("1.8\xE9", "1.8z"));  // bytes above 127 sort last, as unsigned
}

}  // namespace
}  // namespace kestro
