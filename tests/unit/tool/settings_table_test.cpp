#include <gtest/gtest.h>

#include <set>

#include "tool/setting_codec.h"
#include "tool/setting_error.h"
#include "tool/settings_table.h"
#include "tool/toml_writer.h"

namespace kestro::tool {
namespace {

// The keys the launcher reads, each of which needs a readable setting.
const std::set<ConfigKey> kLauncherKeys{102, 103, 104, 105, 106, 107, 108, 121, 122, 123,  124,  125,   126,   127,
                                        128, 130, 131, 146, 152, 154, 156, 158, 160, 2001, 10003, 10004, 10005, 10123};

// Values of each kind, written as TOML, that must come back unchanged from the block.
std::vector<std::string> samples(Kind kind) {
    switch (kind) {
    case Kind::Text: return {R"("Grüße, 5 €")", R"("")"};
    case Kind::Version: return {R"("1.8")", R"("17.0.2")", R"("1.8.0_202")", R"("")"};
    case Kind::Bool: return {"true", "false"};
    case Kind::AppType: return {R"("gui")", R"("console")", "5"};
    case Kind::Flavour: return {R"("kestro")", R"("velmora")"};
    case Kind::CommandLine: return {R"(["-Xmx1g", "-Dpath=C:\\Program Files\\x", "say \"hi\"", ""])", R"("a  b")"};
    case Kind::DirectoryList: return {R"([".\\.velmora", "lib\\native"])", "[]"};
    case Kind::SearchList:
        return {R"([{ relative_directory = ".\\jre" }, { any_directory = ".\\jre" }, { directory = "C:\\Java" }, { variable = "MYAPP_JAVA" }, "registry", "search-path"])"};
    case Kind::ClassPath:
        return {R"([{ archive = ".\\.velmora\\user.jar", mandatory = false }, { directory = "classes" }, { variable = "EXTRA" }, { scan = "lib" }])"};
    }
    return {};
}

TEST(SettingsTable, EveryLauncherKeyAndMessageHasOneReadableName) {
    std::set<ConfigKey> keys;
    std::set<std::string> names;
    for (const Setting& s : allSettings()) {
        EXPECT_TRUE(keys.insert(s.key).second) << "key " << s.key << " twice";
        EXPECT_TRUE(names.insert(s.fullName()).second) << s.fullName() << " twice";
        EXPECT_EQ(findSetting(s.group, s.name), &s);
        EXPECT_EQ(findSetting(s.key), &s);
    }
    std::set<ConfigKey> expected = kLauncherKeys;
    for (ConfigKey id = 1000; id <= 1020; ++id) expected.insert(id);
    EXPECT_EQ(keys, expected);
}

TEST(SettingsTable, MessagesHaveTextsAndNameTheDownloadSite) {
    for (ConfigKey id = 1000; id <= 1020; ++id) {
        const Setting* s = findSetting(id);
        ASSERT_TRUE(s && s->defaultText) << id;
        EXPECT_FALSE(s->defaultText->empty());
    }
    for (ConfigKey id : {1001, 1016}) EXPECT_TRUE(findSetting(id)->defaultText->ends_with("adoptium.net."));
}

TEST(SettingsTable, EverySettingRoundTripsThroughTheBlock) {
    for (const Setting& s : allSettings()) {
        for (const std::string& sample : samples(s.kind)) {
            toml::table doc = toml::parse("v = " + sample);
            std::string bytes = encodeSetting(s, *doc.get("v"), CodePage::Windows1252);
            toml::table back;
            ASSERT_TRUE(decodeSetting(s, bytes, CodePage::Windows1252, back)) << s.fullName() << " = " << sample;
            EXPECT_EQ(tomlInline(*back.get(s.name)), tomlInline(*doc.get("v"))) << s.fullName();
        }
    }
}

TEST(SettingsTable, StoredFormsOfSimpleKinds) {
    auto stored = [](std::string_view name, const std::string& value) {
        auto dot = name.find('.');
        toml::table doc = toml::parse("v = " + value);
        return encodeSetting(*findSetting(name.substr(0, dot), name.substr(dot + 1)), *doc.get("v"),
                             CodePage::Windows1252);
    };
    EXPECT_EQ(stored("splash.enabled", "true"), "1");
    EXPECT_EQ(stored("splash.enabled", "false"), "0");
    EXPECT_EQ(stored("application.type", R"("gui")"), "1");
    EXPECT_EQ(stored("application.type", R"("console")"), "2");
    EXPECT_EQ(stored("application.flavour", R"("velmora")"), "v");
    EXPECT_EQ(stored("native.library_path", R"(["a", "b"])"), "a;b");
    EXPECT_EQ(stored("application.main_class", R"("café")"), "caf\xE9");
}

TEST(SettingsTable, StoredTextsWithoutAnExactReadableFormAreNotDecoded) {
    auto decodes = [](ConfigKey key, std::string_view bytes) {
        toml::table holder;
        return decodeSetting(*findSetting(key), bytes, CodePage::Windows1252, holder);
    };
    EXPECT_FALSE(decodes(102, "01"));         // the launcher reads 1, but "true" would store "1"
    EXPECT_FALSE(decodes(102, "yes"));
    EXPECT_FALSE(decodes(2001, "x"));
    EXPECT_FALSE(decodes(126, "java8"));
    EXPECT_FALSE(decodes(10004, "a;;b"));     // the launcher drops the empty item
    EXPECT_FALSE(decodes(152, std::string(200, 's')));
    EXPECT_FALSE(decodes(122, std::string("a\0b", 3)));
    EXPECT_TRUE(decodes(123, "a  b"));        // kept as the string it is
}

TEST(SettingsTable, LimitsTheLauncherWouldCutAreErrors) {
    toml::table doc = toml::parse("vm = \"" + std::string(199, 's') + "\"\nlong = \"" + std::string(8192, 'x') + "\"");
    EXPECT_NO_THROW(encodeSetting(*findSetting(152), *doc.get("vm"), CodePage::Windows1252));
    EXPECT_THROW(encodeSetting(*findSetting(152), *toml::parse("v = \"" + std::string(200, 's') + "\"").get("v"),
                               CodePage::Windows1252),
                 SettingError);
    EXPECT_THROW(encodeSetting(*findSetting(122), *doc.get("long"), CodePage::Windows1252), SettingError);
}

}  // namespace
}  // namespace kestro::tool
