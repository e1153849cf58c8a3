#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "config/locale.h"
#include "support/trace_recorder.h"

namespace kestro {
namespace {

// The language table as published, row by row.
constexpr const char* kPublishedTable = R"(
0001 ar, 0002 bg, 0003 ca, 0004 zh, 0005 cs, 0006 da, 0007 de, 0008 el, 0009 en, 000A es;
000B fi, 000C fr, 000D iw, 000E hu, 000F is, 0010 it, 0011 ja, 0012 ko, 0013 nl, 0014 no;
0015 pl, 0016 pt, 0017 rm, 0018 ro, 0019 ru, 001A sr, 001B sk, 001C sq, 001D sv, 001E th;
001F tr, 0020 ur, 0021 in, 0022 uk, 0023 be, 0024 sl, 0025 et, 0026 lv, 0027 lt, 0029 fa;
002A vi, 002B hy, 002C az, 002D eu, 002F mk, 0031 ts, 0032 tn, 0034 xh, 0035 zu, 0036 af;
0037 ka, 0038 fo, 0039 hi, 003A mt, 003C gd, 003D yi, 003E ms, 003F kk, 0040 ky, 0041 sw;
0043 uz, 0044 tt, 0046 pa, 0047 gu, 0049 ta, 004A te, 004B kn, 004E mr, 004F sa, 0050 mn;
0056 gl, 0401 ar_SA, 0402 bg_BG, 0403 ca_ES, 0404 zh_TW, 0405 cs_CZ, 0406 da_DK, 0407 de_DE, 0408 el_GR, 0409 en_US;
040A es_ES, 040B fi_FI, 040C fr_FR, 040D iw_IL, 040E hu_HU, 040F is_IS, 0410 it_IT, 0411 ja_JP, 0412 ko_KR, 0413 nl_NL;
0414 no_NO, 0415 pl_PL, 0416 pt_BR, 0417 rm_CH, 0418 ro_RO, 0419 ru_RU, 041A hr_HR, 041B sk_SK, 041C sq_AL, 041D sv_SE;
041E th_TH, 041F tr_TR, 0420 ur_PK, 0421 in_ID, 0422 uk_UA, 0423 be_BY, 0424 sl_SI, 0425 et_EE, 0426 lv_LV, 0427 lt_LT;
0429 fa_IR, 042A vi_VN, 042B hy_AM, 042C az_AZ, 042D eu_ES, 042F mk_MK, 0431 ts, 0432 tn_BW, 0434 xh, 0435 zu;
0436 af_ZA, 0437 ka_GE, 0438 fo_FO, 0439 hi_IN, 043A mt_MT, 043C gd_GB, 043D yi, 043E ms_MY, 043F kk_KZ, 0440 ky_KG;
0441 sw_KE, 0443 uz_UZ, 0444 tt, 0446 pa_IN, 0447 gu_IN, 0449 ta_IN, 044A te_IN, 044B kn_IN, 044E mr_IN, 044F sa_IN;
0450 mn_MN, 0456 gl_ES, 0801 ar_IQ, 0804 zh_CN, 0807 de_CH, 0809 en_GB, 080A es_MX, 080C fr_BE, 0810 it_CH, 0812 ko_KR;
0813 nl_BE, 0814 no_NO_NY, 0816 pt_PT, 0818 ro_MD, 0819 ru_MD, 081A sr_CS, 081D sv_FI, 082C az_AZ, 083C ga_IE, 083E ms_BN;
0843 uz_UZ, 0C01 ar_EG, 0C04 zh_HK, 0C07 de_AT, 0C09 en_AU, 0C0A es_ES, 0C0C fr_CA, 0C1A sr_CS, 1001 ar_LY, 1004 zh_SG;
1007 de_LU, 1009 en_CA, 100A es_GT, 100C fr_CH, 1401 ar_DZ, 1404 zh_MO, 1407 de_LI, 1409 en_NZ, 140A es_CR, 140C fr_LU;
1801 ar_MA, 1809 en_IE, 180A es_PA, 180C fr_MC, 1C01 ar_TN, 1C09 en_ZA, 1C0A es_DO, 2001 ar_OM, 2009 en_JM, 200A es_VE;
2401 ar_YE, 2409 en, 240A es_CO, 2801 ar_SY, 2809 en_BZ, 280A es_PE, 2C01 ar_JO, 2C09 en_TT, 2C0A es_AR, 3001 ar_LB;
3009 en_ZW, 300A es_EC, 3401 ar_KW, 3409 en_PH, 340A es_CL, 3801 ar_AE, 380A es_UY, 3C01 ar_BH, 3C0A es_PY, 4001 ar_QA;
400A es_BO, 440A es_SV, 480A es_HN, 4C0A es_NI, 500A es_PR.
)";

std::vector<std::pair<uint16_t, std::string>> publishedRows() {
    std::vector<std::pair<uint16_t, std::string>> rows;
    static const std::regex row("([0-9A-F]{4}) ([A-Za-z_]+)");
    std::string text = kPublishedTable;
    for (std::sregex_iterator it(text.begin(), text.end(), row), end; it != end; ++it)
        rows.emplace_back(uint16_t(std::stoul((*it)[1], nullptr, 16)), (*it)[2]);
    return rows;
}

TEST(LanguageTable, MatchesThePublishedListRowByRow) {
    auto expected = publishedRows();
    ASSERT_EQ(expected.size(), 215u);
    auto table = languageTable();
    ASSERT_EQ(table.size(), expected.size());
    std::set<uint16_t> seen;
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].id, expected[i].first) << "row " << i;
        EXPECT_EQ(std::string(table[i].code), expected[i].second) << "row " << i;
        EXPECT_TRUE(seen.insert(table[i].id).second) << "identifier 0x" << std::hex << table[i].id << " twice";
        // Primary languages alone come first, 71 of them.
        EXPECT_EQ(table[i].id <= 0x3FF, i < 71) << "row " << i;
    }
}

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
