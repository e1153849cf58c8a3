#include <gtest/gtest.h>

#include "tool/code_page.h"
#include "tool/setting_error.h"

namespace kestro::tool {
namespace {

TEST(CodePage, Windows1252MapsTheEuroBlockAndLatin1) {
    EXPECT_EQ(toCodePage("€ ™ Ÿ é ÿ", CodePage::Windows1252), "\x80 \x99 \x9F \xE9 \xFF");
    EXPECT_EQ(fromCodePage("\x80\x99\xE9", CodePage::Windows1252), "€™é");
}

TEST(CodePage, EveryWindows1252ByteRoundTrips) {
    // Including the five bytes the code page leaves undefined, so a stored text never
    // changes on its way through a printed configuration.
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    auto text = fromCodePage(all, CodePage::Windows1252);
    ASSERT_TRUE(text);
    EXPECT_EQ(toCodePage(*text, CodePage::Windows1252), all);
}

TEST(CodePage, UnrepresentableCharacterIsNamed) {
    try {
        toCodePage("ok Ω", CodePage::Windows1252);
        FAIL();
    } catch (const SettingError& e) {
        EXPECT_NE(std::string(e.what()).find("U+03A9"), std::string::npos) << e.what();
    }
    EXPECT_EQ(toCodePage("ok Ω", CodePage::Utf8), "ok Ω");
}

TEST(CodePage, Utf8CodePageRejectsMalformedBytes) {
    for (std::string_view bad : {"\xFF", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(fromCodePage(bad, CodePage::Utf8)) << bad;
    EXPECT_EQ(fromCodePage("Grüße", CodePage::Utf8), "Grüße");
}

TEST(CodePage, Utf16CarriesSupplementaryCharactersAndRejectsLoneSurrogates) {
    std::u16string wide = utf8ToUtf16("a𝄞€");
    EXPECT_EQ(wide, (std::u16string{u'a', 0xD834, 0xDD1E, 0x20AC}));
    EXPECT_EQ(utf16ToUtf8(wide), "a𝄞€");
    EXPECT_FALSE(utf16ToUtf8(std::u16string{0xD834}));
    EXPECT_FALSE(utf16ToUtf8(std::u16string{0xDD1E, u'a'}));
}

}  // namespace
}  // namespace kestro::tool
