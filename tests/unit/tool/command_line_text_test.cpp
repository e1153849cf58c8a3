#include <gtest/gtest.h>

#include "startup/command_line.h"
#include "tool/code_page.h"
#include "tool/command_line_text.h"
#include "tool/setting_error.h"

namespace kestro::tool {
namespace {

// What the launcher itself makes of a stored text.
std::vector<std::string> launcherSplit(const std::string& text) {
    std::vector<std::u16string> wide;
    splitCommandLine(utf8ToUtf16(text), wide);
    std::vector<std::string> out;
    for (const auto& w : wide) out.push_back(*utf16ToUtf8(w));
    return out;
}

TEST(CommandLineText, JoinedListsSplitBackExactlyInTheLauncher) {
    const std::vector<std::vector<std::string>> lists{
        {},
        {"-Xmx512m", "-Dx=1"},
        {"with space", "C:\\Program Files\\App\\", "back\\slash\\"},
        {"", "a", ""},
        {"say \"hi\"", "it's", "'quoted'", "\"q\""},
        {"  lead", "trail  ", "ümlaut ok"},
    };
    for (const auto& list : lists) {
        std::string text = joinArguments(list);
        EXPECT_EQ(launcherSplit(text), list) << text;
        EXPECT_EQ(splitArguments(text), list) << text;
    }
    EXPECT_EQ(joinArguments({"plain", "two words"}), "plain \"two words\"");
}

TEST(CommandLineText, ArgumentWithBothQuoteKindsIsRefused) {
    try {
        joinArguments({"ok", "it's \"x\""});
        FAIL();
    } catch (const SettingError& e) {
        EXPECT_NE(std::string(e.what()).find("element 2"), std::string::npos) << e.what();
    }
    EXPECT_THROW(joinArguments({"a'b\"c"}), SettingError);
}

TEST(CommandLineText, SplitMatchesTheLauncherOnIrregularTexts) {
    for (std::string text : {"a  b ", "  ", "x\"a b\"y", "\"unclosed rest", "pre'q\"uote'post", "'' \"\"", "a'b"})
        EXPECT_EQ(splitArguments(text), launcherSplit(text)) << text;
}

}  // namespace
}  // namespace kestro::tool
