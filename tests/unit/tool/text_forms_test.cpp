#include <gtest/gtest.h>

#include "startup/command_line.h"
#include "tool/text/code_page.h"
#include "tool/text/command_line_text.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

TEST(CodePage, Windows1252MapsTheEuroBlockAndRoundTripsEveryByte) {
    EXPECT_EQ(toCodePage("€ ™ Ÿ é ÿ", CodePage::Windows1252), "\x80 \x99 \x9F \xE9 \xFF");
    // Including the five bytes the code page leaves undefined, so a stored text never
    // changes on its way through a printed configuration.
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    auto text = fromCodePage(all, CodePage::Windows1252);
    ASSERT_TRUE(text);
    EXPECT_EQ(toCodePage(*text, CodePage::Windows1252), all);
    EXPECT_NE(test::errorOf([] { toCodePage("ok Ω", CodePage::Windows1252); }).find("U+03A9"), std::string::npos);
}

TEST(CodePage, Utf8AndUtf16CarryEveryCharacterAndRefuseMalformedText) {
    for (std::string_view bad : {"\xFF", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(fromCodePage(bad, CodePage::Utf8)) << bad;
    EXPECT_EQ(toCodePage("ok Ω", CodePage::Utf8), "ok Ω");
    EXPECT_EQ(utf8ToUtf16("a𝄞€"), (std::u16string{u'a', 0xD834, 0xDD1E, 0x20AC}));
    EXPECT_FALSE(utf16ToUtf8(std::u16string{0xDD1E, u'a'}));
}

// What the launcher itself makes of a stored text.
std::vector<std::string> launcherSplit(const std::string& text) {
    std::vector<std::u16string> wide;
    splitCommandLine(utf8ToUtf16(text), wide);
    std::vector<std::string> out;
    for (const auto& w : wide) out.push_back(*utf16ToUtf8(w));
    return out;
}

TEST(CommandLineText, JoinedListsSplitBackExactlyAsInTheLauncher) {
    const std::vector<std::vector<std::string>> lists{
        {},
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
    // The launcher replaces variables before it splits; the directory may hold spaces.
    std::string text = joinArguments({"-Dhome=${launcher:sys.launcherDirectory}", "%KESTRO_EXEDIR%app.jar"});
    for (std::string reference : {"${launcher:sys.launcherDirectory}", "%KESTRO_EXEDIR%"})
        text.replace(text.find(reference), reference.size(), "C:\\Program Files\\App\\");
    EXPECT_EQ(launcherSplit(text),
              (std::vector<std::string>{"-Dhome=C:\\Program Files\\App\\", "C:\\Program Files\\App\\app.jar"}));
    // No quoting carries both quote characters.
    EXPECT_NE(test::errorOf([] { joinArguments({"ok", "it's \"x\""}); }).find("[1]: the argument holds both"), std::string::npos);
    // The tool's own split, which inspect shows, agrees with the launcher's on any text.
    for (std::string text : {"a  b ", "  ", "x\"a b\"y", "\"unclosed rest", "pre'q\"uote'post", "'' \"\"", "a'b"})
        EXPECT_EQ(splitArguments(text), launcherSplit(text)) << text;
}

}  // namespace
}  // namespace kestro::tool
