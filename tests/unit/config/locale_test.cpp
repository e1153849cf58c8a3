#include <gtest/gtest.h>

#include "config/locale.h"
#include "support/trace_recorder.h"

namespace kestro {
namespace {

TEST(LocaleSelection, ExactIdentifierThenPrimaryLanguageThenEnglish) {
    struct Case { uint16_t id; const char* code; const char* language; const char* country; };
    for (const Case& c : std::initializer_list<Case>{
             {0x0C0C, "fr_CA", "fr", "CA"}, {0x041A, "hr_HR", "hr", "HR"}, {0x0814, "no_NO_NY", "no", ""},
             {0x2409, "en", "en", ""}, {0x001A, "sr", "sr", ""},
             {0x2C0C, "fr", "fr", ""},  // not in the table: its primary language
             {0x0042, "en", "en", ""},  // primary language unknown
             {0xFC07, "de", "de", ""},  // the primary language is the low 10 bits
         }) {
        EXPECT_EQ(chooseLocale({u"app.exe"}, c.id, nullptr), c.code) << std::hex << c.id;
        EXPECT_EQ(localeLanguage(), c.language) << std::hex << c.id;
        EXPECT_EQ(localeCountry(), c.country) << std::hex << c.id;
    }
}

int uiQueries = 0;
std::optional<uint16_t> swissUi() { return ++uiQueries, 0x0807; }
std::optional<uint16_t> noUi() { return ++uiQueries, std::nullopt; }

// A French user whose interface is Swiss German: the last format option decides
// whether the interface language counts; only its exact spelling is the option, and
// only "=true" is true. The executable (element 0) takes part.
TEST(LocaleSelection, FormatOptionDecidesWhetherTheInterfaceLanguageCounts) {
    const char16_t* on = u"-Dsun.locale.formatasdefault=true";
    const char16_t* off = u"-Dsun.locale.formatasdefault=false";
    struct Case { std::vector<Utf16> arguments; UiLanguageQuery ui; const char* code; bool formatAsDefault; };
    for (const Case& c : std::initializer_list<Case>{
             {{u"app.exe", u"-Xfoo", u"arg"}, swissUi, "fr_FR", true},
             {{u"app.exe", off}, swissUi, "de_CH", false},
             {{u"app.exe", off}, noUi, "fr_FR", false},  // the interface language cannot be had
             {{u"app.exe", u"-Dsun.locale.formatasdefault=TRUE"}, swissUi, "de_CH", false},
             {{u"app.exe", u"-Dsun.locale.formatasdefault="}, swissUi, "de_CH", false},
             {{u"app.exe", on, u"x", off}, swissUi, "de_CH", false},
             {{u"app.exe", off, on}, swissUi, "fr_FR", true},
             {{u"app.exe", u"-dsun.locale.formatasdefault=false", u"-J-Dsun.locale.formatasdefault=false"}, swissUi,
              "fr_FR", true},
             {{off}, swissUi, "de_CH", false},
         }) {
        testing::clearTrace();
        uiQueries = 0;
        EXPECT_EQ(chooseLocale(c.arguments, 0x040C, c.ui), c.code) << c.code;
        EXPECT_EQ(uiQueries, c.formatAsDefault ? 0 : 1) << c.code;
        EXPECT_EQ(testing::tracedLines(),
                  (std::vector<std::string>{std::string("sun.locale.formatasdefault is ") +
                                                (c.formatAsDefault ? "true" : "false"),
                                            std::string("language/country is ") + c.code}));
    }
}

}  // namespace
}  // namespace kestro
