#include <gtest/gtest.h>

#include <set>

#include "format/config_keys.h"
#include "tool/config/settings_table.h"
#include "tool/settings/class_path.h"
#include "tool/settings/search_list.h"
#include "tool/settings/setting_codec.h"
#include "tool/toml/toml_writer.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

std::string encode(ConfigKey key, const std::string& value) {
    toml::table doc = toml::parse("v = " + value);
    return encodeSetting(*findSetting(key), *doc.get("v"), CodePage::Windows1252);
}

// Values of each kind, written as TOML, that must come back unchanged from the block.
std::vector<std::string> samples(Kind kind) {
    switch (kind) {
    case Kind::Text: return {R"("Grüße, 5 €")", R"("")"};
    case Kind::ClassName: return {R"("com.example.Main")", R"("Outer$Inner")"};
    case Kind::Version: return {R"("1.8")", R"("17.0.2")", R"("1.8.0_202")", R"("17.0.2+8")", R"("21-ea")", R"("")"};
    case Kind::Bool: return {"true", "false"};
    case Kind::AppType: return {R"("gui")", R"("console")", "5"};
    case Kind::Flavour: return {R"("kestro")", R"("velmora")"};
    case Kind::CommandLine: return {R"(["-Xmx1g", "-Dpath=C:\\Program Files\\x", "say \"hi\"", ""])", R"("a  b")"};
    case Kind::DirectoryList: return {R"([".\\.velmora", "lib\\native"])", "[]"};
    case Kind::SearchList:
        return {R"([{ relative_directory = ".\\jre" }, { any_directory = ".\\jre" }, { directory = "C:\\Java" }, { variable = "MYAPP_JAVA" }, "registry", "search-path"])"};
    case Kind::ClassPath:
        return {R"([{ archive = ".\\.velmora\\user.jar", mandatory = false }, { directory = "classes" }, { variable = "EXTRA" }, { scan = "lib" }])"};
    case Kind::Percent: return {"1", "100"};
    case Kind::Megabytes: return {"1", "2147483647"};
    case Kind::ExitCodes: return {"[42]", "[0, -1073741819, 3]", "[]"};
    case Kind::ModuleName: return {R"("com.example.app")", R"("com.example.app/com.example.app.Main")"};
    }
    return {};
}

TEST(SettingsTable, EveryLauncherKeyAndMessageHasOneReadableName) {
    std::set<ConfigKey> keys{102, 103, 104, 105, 106, 107, 108, 121, 122, 123,  124,  125,   126,   127,
                             128, 130, 131, 146, 152, 154, 156, 158, 160, 2001, 10003, 10004, 10005, 10006, 10123};
    for (ConfigKey id = 1000; id <= 1021; ++id) keys.insert(id);
    keys.insert({10200, 10201, 10202, 10204, 10205, 10206, 10207, 10208});
    std::set<std::string> names;
    for (const Setting& s : allSettings()) {
        EXPECT_EQ(keys.erase(s.key), 1u) << "key " << s.key << " unexpected or twice";
        EXPECT_TRUE(names.insert(s.fullName()).second) << s.fullName() << " twice";
    }
    EXPECT_TRUE(keys.empty()) << "no setting for key " << *keys.begin();
}

TEST(SettingsTable, EverySettingRoundTripsThroughTheBlock) {
    for (const Setting& s : allSettings()) {
        for (const std::string& sample : samples(s.kind)) {
            toml::table back;
            ASSERT_TRUE(decodeSetting(s, encode(s.key, sample), CodePage::Windows1252, back)) << s.fullName() << sample;
            EXPECT_EQ(tomlInline(*back.get(s.name)), tomlInline(*toml::parse("v = " + sample).get("v"))) << s.fullName();
        }
    }
}

TEST(SettingsTable, StoredFormsAreWhatTheLauncherReads) {
    EXPECT_EQ(encode(key::SplashScreen, "true"), "1");
    EXPECT_EQ(encode(key::SplashScreen, "false"), "0");
    EXPECT_EQ(encode(key::ApplicationType, R"("GUI")"), "1");  // words in any letter case
    EXPECT_EQ(encode(key::ApplicationType, R"("console")"), "2");
    EXPECT_EQ(encode(key::Flavour, R"("Velmora")"), "v");
    EXPECT_EQ(encode(key::MinVersion, "17"), "17");
    EXPECT_EQ(encode(key::NativeLibraryPath, R"(["a", "b"])"), "a;b");
    EXPECT_EQ(encode(key::SearchList, samples(Kind::SearchList)[0]), "R.\\jre;B.\\jre;AC:\\Java;EMYAPP_JAVA;Y;S");
    EXPECT_EQ(encode(key::ClassPath, samples(Kind::ClassPath)[0]), "A0.\\.velmora\\user.jar;D1classes;E1EXTRA;S1lib");
}

TEST(SettingsTable, MalformedValuesAreRefusedNamingTheirPart) {
    const std::vector<std::tuple<ConfigKey, std::string, std::string>> cases{
        {key::SearchList, R"(["registry", "path"])", "[1]: unknown search entry \"path\""},
        {key::SearchList, R"([{ variable = "A", directory = "B" }])", "not two"},
        {key::SearchList, R"([{ varaible = "A" }])", "[0].varaible: unknown entry key"},
        {key::SearchList, R"([{ variable = "A;B" }])", "contains ';'"},
        {key::ClassPath, R"(["app.jar"])", "[0]: expected a table"},
        {key::ClassPath, R"([{ archive = "a", mandatory = "yes" }])", "[0].mandatory"},
        {key::ClassPath, R"([{ jar = "a" }])", "unknown entry key 'jar'"},
        {key::ClassPath, R"([{ variable = "" }])", "[0].variable: the variable's name is empty"},
        {key::ClassPath, R"([{ variable = "A;B" }])", "contains ';'"},
        {key::ClassPath, R"([{ variable = "A=1" }])", "contains '='"},
        {key::ClassPath, R"([{ directory = "\"C:\\x y\"" }])", "[0].directory: the path contains '\"'"},
        // A file name where a class name belongs, with the class name to write.
        {key::MainClass, R"("com/acme/Main.class")", "is a file path, not a class name; give the class with dots: \"com.acme.Main\""},
        {key::MainClass, R"("\\com\\acme\\Main")", "dots: \"com.acme.Main\""},
        {key::MainClass, R"("Main.JAVA")", "\"Main.JAVA\" is a file name, not a class name; give the class with dots: \"Main\""},
        {key::MainClass, R"("app.jar")", "names a jar file"},
        {key::MainClass, R"("com.acme.Main ")", "contains a space"},
        {key::MainClass, R"("com..Main")", "empty part between dots"},
        {key::MinVersion, R"("1.8.")", "is not a Java version"},
        {key::MaxVersion, "1.10", "a version is text: write it in quotes"},
        {key::MaxVersion, "-1", "expected a string"},
        // Texts the launcher would cut short.
        {key::PreferredVm, "\"" + std::string(200, 's') + "\"", "at most 199 are allowed"},
        {key::MainClass, "\"" + std::string(8192, 'x') + "\"", "the launcher reads at most 8191"},
        {key::MaxHeapPercent, "0", "expected 1 to 100, got 0"},
        {key::InitialHeapPercent, "101", "expected 1 to 100, got 101"},
        {key::MaxHeapPercent, "\"50%\"", "expected an integer, got a string"},
        {key::MaxHeapLimitMb, "0", "expected 1 to 2147483647"},
        {key::MaxHeapLimitMb, "2147483648", "expected 1 to 2147483647"},
        {key::RestartExitCodes, "42", "expected a list"},
        {key::RestartExitCodes, "[42, \"43\"]", "[1]: expected an integer, got a string"},
        {key::RestartExitCodes, "[4294967295]", "[0]: expected -2147483648 to 2147483647"},
        // A module and its class, each dotted Java identifiers.
        {key::MainModule, R"("")", "the module's name \"\" is no dotted name of Java identifiers; write"},
        {key::MainModule, R"("com.example.app/")", "the main class \"\" is no dotted name"},
        {key::MainModule, R"("com..app")", "the module's name \"com..app\" is no dotted name"},
        {key::MainModule, R"("m/com.example.Main.class/x")", "the main class \"com.example.Main.class/x\" is no dotted "
                                                             "name of Java identifiers ('class/x' is not one)"},
        {key::MainModule, R"("com.example app")", "('example app' is not one)"},
        {key::ModulePath, R"(["mods", "a;b"])", "contains ';'"},
    };
    for (const auto& [key, value, error] : cases)
        EXPECT_NE(test::errorOf([&] { encode(key, value); }).find(error), std::string::npos) << value;
    EXPECT_EQ(test::errorOf([] { encode(key::PreferredVm, "\"" + std::string(199, 's') + "\""); }), "");
    EXPECT_EQ(test::errorOf([] { encode(key::MainClass, "\"" + std::string(8191, 'x') + "\""); }), "");
    // Stored lists that no readable list writes are left to [keys].
    for (std::string_view odd : {"R", "Yx", "Q.\\jre", "Y;;S", ";Y"}) EXPECT_FALSE(decodeSearchList(odd)) << odd;
    for (std::string_view odd : {"A1", "A2x", "X1x", "A1x;", "a1x"}) EXPECT_FALSE(decodeClassPath(odd)) << odd;
}

// A version text once overflowed the stack of a pattern matcher at some 26,000 digits,
// both when building and when a launcher carrying one under [keys] was inspected.
TEST(SettingsTable, VersionsOfAnyLengthAreCheckedWithoutExhaustingTheStack) {
    std::string digits(100'000, '7');
    EXPECT_EQ(test::errorOf([&] { encode(key::MaxVersion, "\"" + digits + "\""); }),
              ": the stored text would be 100000 bytes; the launcher reads at most 8191");
    EXPECT_EQ(encode(key::MaxVersion, "\"" + digits.substr(0, 8191) + "\""), digits.substr(0, 8191));
    toml::table back;
    EXPECT_FALSE(decodeSetting(*findSetting(key::MaxVersion), digits, CodePage::Windows1252, back));
    EXPECT_FALSE(decodeSetting(*findSetting(key::MaxVersion), "1." + digits, CodePage::Windows1252, back));
    EXPECT_TRUE(back.empty());
}

}  // namespace
}  // namespace kestro::tool
