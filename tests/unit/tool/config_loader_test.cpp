#include <gtest/gtest.h>

#include <map>

#include "tool/config_loader.h"
#include "tool/included_names.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

std::map<int32_t, std::string> stored(const BuildPlan& plan) {
    std::map<int32_t, std::string> out;
    for (const auto& e : plan.head.strings) out[e.key] = e.value;
    return out;
}

std::map<int32_t, std::string> stored(const std::string& text) { return stored(loadConfiguration(text, "app.toml")); }

TEST(ConfigErrors, NameFileLineAndSettingOfEveryProblemInFileOrder) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"\n[colour]\n", "app.toml:2: unknown setting 'colour'"},
        {"application = 3\n", "app.toml:1: application: expected a table, got an integer"},
        {"[application]\ntype = 1.5\n",
         "app.toml:2: application.type: expected \"gui\", \"console\" or an integer, got a floating-point number"},
        {"[java]\nsearch_order = [\n  \"registry\",\n  { variable = 1 },\n]\n",
         "app.toml:4: java.search_order[1].variable: expected a string, got an integer"},
        {"[application]\nmain_class = \"a.B\"\n[keys]\n122 = \"c.D\"\n",
         "app.toml:4: key 122 is set both by 'application.main_class' (line 2) and by 'keys.\"122\"'"},
        {"[keys]\n\"01\" = \"x\"\n", "app.toml:2: keys.\"01\": a key is a decimal number such as \"101\", not \"01\""},
        {"[keys]\n101 = { hex = \"0g\" }\n", "app.toml:2: keys.\"101\".hex: hex takes pairs of hexadecimal digits"},
        {"[vm]\noptions = 1\n[application]\nzzz = 1\naaa = 2\n",
         "app.toml:2: vm.options: expected a string or a list of strings, got an integer\n"
         "app.toml:4: unknown setting 'application.zzz'\napp.toml:5: unknown setting 'application.aaa'"},
    };
    for (const auto& [text, problems] : cases)
        EXPECT_EQ(test::errorOf([&] { loadConfiguration(text, "app.toml"); }), problems) << text;
}

TEST(ConfigLoad, DefaultsFillTheMessagesUnlessReplacedOrOff) {
    auto strings = stored("");
    for (int32_t id = 1000; id <= 1020; ++id) EXPECT_FALSE(strings[id].empty()) << id;
    EXPECT_FALSE(strings.contains(2002));  // no included files, no count
    EXPECT_TRUE(loadConfiguration("[build]\ndefaults = false\n", "app.toml").head.strings.empty());
    EXPECT_EQ(stored("[keys]\n1000 = \"Fehler\"\n")[1000], "Fehler");  // replaces the default, no clash
}

TEST(ConfigLoad, EntriesAreSortedByNumber) {
    BuildPlan plan = loadConfiguration("[keys]\n10003 = \"x\"\n9 = \"y\"\n[wide]\n10 = \"ten\"\n9 = \"nine\"\n", "app.toml");
    EXPECT_EQ(plan.head.strings.at(0).key, 9);
    EXPECT_EQ(plan.head.wides.at(0).key, 9);
}

TEST(ConfigLoad, CodePageAndRawValuesChooseTheStoredBytes) {
    const std::string body = "[application]\nmain_class = \"Grüße\"\n";
    EXPECT_EQ(stored(body)[122], "Gr\xFC\xDF" "e");
    EXPECT_EQ(stored("[build]\ncode_page = \"utf-8\"\n" + body)[122], "Grüße");
    BuildPlan plan = loadConfiguration("[keys]\n101 = { hex = \"00ff\" }\n[wide]\n5 = { hex = \"00d8\" }\n6 = \"€\"\n",
                                       "app.toml");
    EXPECT_EQ(stored(plan)[101], std::string("\0\xFF", 2));
    EXPECT_EQ(plan.head.wides.at(0).value, std::u16string(1, char16_t(0xD800)));
    EXPECT_EQ(plan.head.wides.at(1).value, u"€");
}

TEST(IncludedNames, RefusesNamesThatLeaveTheDirectoryOrBreakTheList) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "empty"}, {"\\app.jar", "absolute"}, {"/etc/passwd", "absolute"}, {"C:app.jar", "':'"},
        {"..\\app.jar", "'..'"}, {"lib\\..", "'..'"}, {"lib/../../x", "more than one"},
        {"a\\b\\c.jar", "more than one directory level"}, {"lib\\", "empty path component"},
        {"a;b.jar", "';'"}, {"what?.jar", "character"}, {"dot.", "ends with"},
        {"nul", "'nul' is a name Windows reserves for a device"}, {"lib/AUX.jar", "'AUX.jar' is a name Windows"},
        {"Com1\\x.jar", "device"}, {"lpt9.tar.gz", "device"}, {"con .txt", "device"},
    };
    for (const auto& [name, reason] : cases)
        EXPECT_NE(test::errorOf([&] { normaliseIncludedName(name); }).find(reason), std::string::npos) << name;
}

}  // namespace
}  // namespace kestro::tool
