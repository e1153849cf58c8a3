#include <gtest/gtest.h>

#include "tool/text/version_text.h"

namespace kestro::tool {
namespace {

TEST(VersionText, VersionTextsBeginWithANumberAndSeparateSegmentsOnce) {
    for (const char* text : {"1.8", "17", "17.0.2+8", "21-ea", "1.8.0_202-b08"}) EXPECT_TRUE(isVersionText(text)) << text;
    for (const char* text : {"", "v17", "1..8", "1.8.", ".8", "1.8 ", "java 8", "1.8/0", "-1"})
        EXPECT_FALSE(isVersionText(text)) << text;
}

}  // namespace
}  // namespace kestro::tool
