#include <gtest/gtest.h>

#include "tool/text/suggestion.h"

namespace kestro::tool {
namespace {

TEST(Suggestion, ANearNameIsSuggestedAndAFarOneIsNot) {
    const std::vector<std::string> names{"main_class", "type", "arguments", "build", "inspect"};
    EXPECT_EQ(closestName("mian_class", names), "main_class");  // swapped neighbours: one edit
    EXPECT_EQ(closestName("MAIN_CLASS", names), "main_class");
    EXPECT_EQ(closestName("biuld", names), "build");
    EXPECT_EQ(closestName("tpe", names), "type");
    EXPECT_EQ(closestName("arg", names), "arguments");  // the one name it begins
    EXPECT_EQ(closestName("class", names), std::nullopt);
    EXPECT_EQ(closestName("main", std::vector<std::string>{"main_class", "main_method"}), std::nullopt);
    EXPECT_EQ(closestName("x", names), std::nullopt);
}

}  // namespace
}  // namespace kestro::tool
