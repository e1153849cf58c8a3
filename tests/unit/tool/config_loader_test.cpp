#include <gtest/gtest.h>

#include <map>

#include "tool/config_loader.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

using test::TempDir;

std::map<int32_t, std::string> stored(const BuildPlan& plan) {
    std::map<int32_t, std::string> out;
    for (const auto& e : plan.head.strings) out[e.key] = e.value;
    return out;
}

// The problems reported for `text`, one per line; "" when it loads.
std::string problemsOf(const std::string& text, const std::filesystem::path& file = "app.toml") {
    try {
        loadConfiguration(text, file);
    } catch (const ConfigError& e) {
        return e.what();
    }
    return "";
}

TEST(ConfigErrors, NameFileLineAndSetting) {
    EXPECT_EQ(problemsOf("[application]\nmian_class = \"x\"\n"), "app.toml:2: unknown setting 'application.mian_class'");
    EXPECT_EQ(problemsOf("\n[colour]\n"), "app.toml:2: unknown setting 'colour'");
    EXPECT_EQ(problemsOf("[build]\nspeed = 1\n"), "app.toml:2: unknown setting 'build.speed'");
    EXPECT_EQ(problemsOf("[splash]\n\nenabled = \"yes\"\n"),
              "app.toml:3: splash.enabled: expected true or false, got a string");
    EXPECT_EQ(problemsOf("application = 3\n"), "app.toml:1: application: expected a table, got an integer");
    EXPECT_EQ(problemsOf("[application]\ntype = 1.5\n"),
              "app.toml:2: application.type: expected \"gui\", \"console\" or an integer, got a floating-point number");
    EXPECT_EQ(problemsOf("[java]\nsearch_order = [\n  \"registry\",\n  { variable = 1 },\n]\n"),
              "app.toml:4: java.search_order[1].variable: expected a string, got an integer");
    EXPECT_EQ(problemsOf("[messages]\ncaption = \"Ω\"\n").substr(0, 37), "app.toml:2: messages.caption: the cha");
}

TEST(ConfigErrors, SyntaxErrorsGiveTheirLine) {
    EXPECT_EQ(problemsOf("[application]\nmain_class = \n").substr(0, 11), "app.toml:2:");
    EXPECT_EQ(problemsOf("a = 1\na = 2\n").substr(0, 11), "app.toml:2:");
}

TEST(ConfigErrors, AllProblemsAreReportedInFileOrder) {
    EXPECT_EQ(problemsOf("[vm]\noptions = 1\n[application]\nzzz = 1\naaa = 2\n"),
              "app.toml:2: vm.options: expected a string or a list of strings, got an integer\n"
              "app.toml:4: unknown setting 'application.zzz'\n"
              "app.toml:5: unknown setting 'application.aaa'");
}

TEST(ConfigErrors, KeySetReadablyAndRawNamesBoth) {
    EXPECT_EQ(problemsOf("[application]\nmain_class = \"a.B\"\n[keys]\n122 = \"c.D\"\n"),
              "app.toml:4: key 122 is set both by 'application.main_class' (line 2) and by 'keys.\"122\"'");
    EXPECT_EQ(problemsOf("[keys]\n\"01\" = \"x\"\n"),
              "app.toml:2: keys.\"01\": a key is a decimal number such as \"101\", not \"01\"");
}

TEST(ConfigErrors, IncludedFilesAreCheckedAgainstDiskAndEachOther) {
    TempDir dir;
    test::writeFile(dir / "a.jar", "a");
    std::string problems = problemsOf("[[files]]\nsource = \"a.jar\"\nname = \"lib/A.jar\"\n"
                                      "[[files]]\nsource = \"a.jar\"\nname = \"LIB\\\\a.JAR\"\n"
                                      "[[files]]\nsource = \"gone.jar\"\n"
                                      "[[files]]\nsource = \"a.jar\"\nname = \"../a.jar\"\nsize = 1\n",
                                      dir / "app.toml");
    EXPECT_NE(problems.find("app.toml:4: files[1].name: \"LIB\\a.JAR\" is already the name of files[0]"), std::string::npos)
        << problems;
    EXPECT_NE(problems.find("app.toml:8: files[2].source: included file 'gone.jar' not found"), std::string::npos);
    EXPECT_NE(problems.find("app.toml:11: files[3].name: the name has a '..' component"), std::string::npos);
    EXPECT_NE(problems.find("app.toml:12: unknown setting 'files[3].size'"), std::string::npos);
}

TEST(ConfigLoad, DefaultsFillMessagesFlavourAndTypicalNames) {
    auto strings = stored(loadConfiguration("", "app.toml"));
    for (int32_t id = 1000; id <= 1020; ++id) EXPECT_FALSE(strings[id].empty()) << id;
    EXPECT_EQ(strings[2001], "k");
    EXPECT_EQ(strings[10003], ".");
    EXPECT_EQ(strings[103], "error.log");
    EXPECT_EQ(strings.size(), 25u);

    EXPECT_TRUE(loadConfiguration("[build]\ndefaults = false\n", "app.toml").head.strings.empty());
    auto raw = stored(loadConfiguration("[keys]\n1000 = \"Fehler\"\n", "app.toml"));
    EXPECT_EQ(raw[1000], "Fehler");  // a raw key replaces the default rather than clashing with it
}

TEST(ConfigLoad, EntriesAreSortedByNumber) {
    BuildPlan plan = loadConfiguration("[build]\ndefaults = false\n[keys]\n10003 = \"x\"\n9 = \"y\"\n"
                                       "[wide]\n10 = \"ten\"\n9 = \"nine\"\n"
                                       "[[locale]]\nprefix = \"de\"\n[locale.wide]\n200 = \"b\"\n30 = \"a\"\n",
                                       "app.toml");
    ASSERT_EQ(plan.head.strings.size(), 2u);
    EXPECT_EQ(plan.head.strings[0].key, 9);
    ASSERT_EQ(plan.head.wides.size(), 2u);
    EXPECT_EQ(plan.head.wides[0].key, 9);
    ASSERT_EQ(plan.head.localeSets.size(), 1u);
    EXPECT_EQ(plan.head.localeSets[0].entries[0].key, 30);
}

TEST(ConfigLoad, CodePageSettingChoosesTheStoredBytes) {
    const std::string body = "[application]\nmain_class = \"Grüße\"\n";
    EXPECT_EQ(stored(loadConfiguration(body, "app.toml"))[122], "Gr\xFC\xDF" "e");
    EXPECT_EQ(stored(loadConfiguration("[build]\ncode_page = \"utf-8\"\n" + body, "app.toml"))[122], "Grüße");
    EXPECT_EQ(stored(loadConfiguration("[build]\ncode_page = 65001\n" + body, "app.toml"))[122], "Grüße");
}

TEST(ConfigLoad, RawValuesTakeTextOrHex) {
    BuildPlan plan = loadConfiguration("[keys]\n101 = { hex = \"00ff\" }\n[wide]\n5 = { hex = \"00d8\" }\n6 = \"€\"\n",
                                       "app.toml");
    EXPECT_EQ(stored(plan)[101], std::string("\0\xFF", 2));
    EXPECT_EQ(plan.head.wides[0].value, std::u16string(1, char16_t(0xD800)));
    EXPECT_EQ(plan.head.wides[1].value, u"€");
    EXPECT_NE(problemsOf("[keys]\n101 = { hex = \"0g\" }\n").find("hex takes pairs"), std::string::npos);
}

TEST(ConfigLoad, IncludedFilesGiveCountNamesAndSources) {
    TempDir dir;
    test::writeFile(dir / "build" / "app.jar", "jar");
    test::writeFile(dir / "notes.txt", "txt");
    BuildPlan plan = loadConfiguration("[[files]]\nsource = \"build/app.jar\"\nname = \"lib/app.jar\"\n"
                                       "[[files]]\nsource = \"notes.txt\"\n",
                                       dir / "app.toml");
    auto strings = stored(plan);
    EXPECT_EQ(strings[2002], "2");
    EXPECT_EQ(strings[2003], "lib\\app.jar;notes.txt");
    ASSERT_EQ(plan.files.size(), 2u);
    EXPECT_EQ(plan.files[0].source, dir / "build/app.jar");
    EXPECT_EQ(plan.files[1].name, "notes.txt");
    EXPECT_FALSE(stored(loadConfiguration("", "app.toml")).contains(2002));
}

}  // namespace
}  // namespace kestro::tool
