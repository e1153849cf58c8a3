#include <gtest/gtest.h>

#include "startup/command_line.h"

namespace kestro {
namespace {

std::vector<Utf16> split(Utf16View text) {
    std::vector<Utf16> out;
    splitCommandLine(text, out);
    return out;
}

using Args = std::vector<Utf16>;

TEST(SplitCommandLine, QuotesJoinTheTextAroundThem) {
    EXPECT_EQ(split(u"a\"b c\"d"), (Args{u"ab c", u"d"}));
    EXPECT_EQ(split(u"\"\""), (Args{u""}));
    EXPECT_EQ(split(u"\"abc"), (Args{u"abc"}));
    EXPECT_EQ(split(u"x\\\"y"), (Args{u"x\\y"}));  // the backslash escapes nothing
}

TEST(SplitCommandLine, SingleQuotesQuoteToo) {
    EXPECT_EQ(split(u"it's \"a b\""), (Args{u"its \"a b\""}));
    EXPECT_EQ(split(u"'a \"b' c"), (Args{u"a \"b", u"c"}));
    EXPECT_EQ(split(u"\"it's\" x"), (Args{u"it's", u"x"}));
}

TEST(SplitCommandLine, OnlyTheSpaceSeparates) {
    EXPECT_EQ(split(u"a\tb  c   "), (Args{u"a\tb", u"c"}));
    EXPECT_EQ(split(u"   "), Args{});
    EXPECT_EQ(split(u""), Args{});
    EXPECT_EQ(split(u"\"a\"\"b\""), (Args{u"a", u"b"}));  // text right after a closing quote starts anew
    EXPECT_EQ(split(u"\"a\"  b"), (Args{u"a", u"b"}));
}

TEST(SplitCommandLine, AppendsToWhatIsThere) {
    Args args{u"first"};
    splitCommandLine(u"\"C:\\Program Files\\app.exe\" -x", args);
    EXPECT_EQ(args, (Args{u"first", u"C:\\Program Files\\app.exe", u"-x"}));
}

}  // namespace
}  // namespace kestro
