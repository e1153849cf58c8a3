#include <gtest/gtest.h>

#include "diagnostics/message_text.h"

namespace kestro {
namespace {

TEST(MessageText, FillsTheFirstPlaceholderOnly) {
    EXPECT_EQ(fillPlaceholder("An internal error occurred (error code: {0})", "16"),
              "An internal error occurred (error code: 16)");
    EXPECT_EQ(fillPlaceholder("{0} and {0}", "x"), "x and {0}");
    EXPECT_EQ(fillPlaceholder("no placeholder", "x"), "no placeholder");
    // Without an argument the placeholder stays; an empty one fills it.
    EXPECT_EQ(fillPlaceholder("File {0} missing", nullptr), "File {0} missing");
    EXPECT_EQ(fillPlaceholder("File {0} missing", ""), "File  missing");
}

}  // namespace
}  // namespace kestro
