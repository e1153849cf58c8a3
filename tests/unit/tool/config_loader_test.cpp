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
        {"[vm]\noptions = [\n  \"-Da=1\",\n  \"-Db='x' \\\"y\\\"\",\n]\n",
         "app.toml:4: vm.options[1]: the argument holds both a double and a single quote, which the launcher cannot "
         "read back as one argument: -Db='x' \"y\""},
        // Impossible values.
        {"[application]\ntype = -7\n",
         "app.toml:2: application.type: -7 is no application type; give \"gui\", \"console\" or 5 (a console runtime "
         "whose errors still show in message boxes)"},
        {"[application]\ntype = 99\n", "app.toml:2: application.type: 99 is no application type; give \"gui\", "
                                       "\"console\" or 5 (a console runtime whose errors still show in message boxes)"},
        {"[application]\nmain_class = \"com/acme/Main.class\"\n",
         "app.toml:2: application.main_class: \"com/acme/Main.class\" is a file path, not a class name; give the class "
         "with dots: \"com.acme.Main\""},
        {"[java]\nmin_version = \"11\"\nmax_version = \"1.8\"\n",
         "app.toml:3: java.max_version \"1.8\" is below java.min_version \"11\" (line 2); no Java version satisfies both"},
        {"[java]\nmin_version = \"java 8\"\n",
         "app.toml:2: java.min_version: \"java 8\" is not a Java version such as \"1.8\", \"17.0.2\" or "
         "\"1.8.0_202\" (empty for no bound)"},
        // A warning goes with the errors, in line order.
        {"[application]\ntype = 4\nmian_class = \"x\"\n",
         "app.toml:2: warning: application.type 4 has no meaning of its own; the launcher treats it as \"console\" (2)\n"
         "app.toml:3: unknown setting 'application.mian_class' (did you mean 'application.main_class'?)"},
    };
    for (const auto& [text, problems] : cases)
        EXPECT_EQ(test::errorOf([&] { loadConfiguration(text, "app.toml"); }), problems) << text;
}

TEST(ConfigErrors, UnknownNamesSuggestTheNearestKnownOne) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[aplication]\n", "'aplication' (did you mean 'application'?)"},
        {"main_class = \"a.B\"\n", "'main_class' (did you mean 'application.main_class'?)"},
        {"[java]\nmain_class = \"a.B\"\n", "'java.main_class' (did you mean 'application.main_class'?)"},
        {"[messages]\nNo_Jvm_Found_Bit = \"x\"\n", "(did you mean 'messages.no_jvm_found_bits'?)"},
        {"[build]\ncodepage = \"utf-8\"\n", "(did you mean 'build.code_page'?)"},
        {"[[files]]\nsorce = \"a\"\n", "'files[0].sorce' (did you mean 'files[0].source'?)"},
        {"[[locale]]\nprefix = \"de\"\nwdie = {}\n", "(did you mean 'locale[0].wide'?)"},
        {"[java]\nlatest = true\n", "unknown setting 'java.latest'\n"},  // nothing near enough
    };
    for (const auto& [text, suggestion] : cases)
        EXPECT_NE((test::errorOf([&] { loadConfiguration(text, "app.toml"); }) + "\n").find(suggestion),
                  std::string::npos)
            << text;
}

// Values the launcher takes, but almost certainly not as meant; the build goes on.
TEST(ConfigWarnings, LegalButUnlikelyValuesAreNamedWithTheirLine) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[application]\ntype = 0\n",
         "app.toml:2: warning: application.type 0 has no meaning of its own; the launcher treats it as \"console\" (2)"},
        {"[application]\nmain_class = \"com.my-app.Main\"\n",
         "app.toml:2: warning: application.main_class \"com.my-app.Main\": 'my-app' is not a Java identifier"},
        {"[java]\nmax_version = \"1.11\"\n",
         "app.toml:2: warning: java.max_version \"1.11\" is not how Java 11 numbers itself: from Java 9 on, versions "
         "begin \"9\", \"10\", \"11\", ..., and each of them ranks above \"1.11\"; write \"11\""},
        {"[keys]\n1012 = \"Fehler\"\n",
         "app.toml:2: warning: keys.\"1012\" changes a message the launcher never shows; the launcher shows "
         "messages.caption instead"},
        {"[messages]\nok_label = \"OK\"\n",
         "app.toml:2: warning: messages.ok_label changes a message the launcher never shows; no launcher path shows it"},
    };
    for (const auto& [text, warning] : cases) {
        std::vector<std::string> warnings = loadConfiguration(text, "app.toml").warnings;
        EXPECT_EQ(warnings, std::vector<std::string>{warning}) << text;
    }
    // Values the launcher uses as written draw no warning.
    for (std::string text : {"[application]\ntype = 5\nmain_class = \"com.acme.Outer$Inner\"\n",
                             "[java]\nmin_version = \"1.8.0_60\"\nmax_version = \"1.8\"\n",
                             "[java]\nmin_version = \"9\"\nmax_version = \"9.0.4\"\n",
                             "[messages]\nno_jvm_found_bits = \"x\"\ncaption = \"y\"\n"})
        EXPECT_EQ(loadConfiguration(text, "app.toml").warnings, std::vector<std::string>{}) << text;
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
