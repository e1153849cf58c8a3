#include <gtest/gtest.h>

#include <map>

#include "format/config_keys.h"
#include "tool/config/config_loader.h"
#include "tool/config/included_names.h"
#include "tool/config/settings_table.h"
#include "tool/config/value_checks.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

// Every launcher needs a main class; a file that is about something else gets one under
// [keys], after its own lines so that their numbers stay. A file with [keys] of its own
// names the main class itself.
BuildPlan load(const std::string& text) {
    bool named = text.find("main_class") != std::string::npos || text.find("[keys]") != std::string::npos;
    return loadConfiguration(named ? text : text + "\n[keys]\n122 = \"a.B\"\n", "app.toml");
}

std::map<int32_t, std::string> stored(const BuildPlan& plan) {
    std::map<int32_t, std::string> out;
    for (const auto& e : plan.head.strings) out[e.key] = e.value;
    return out;
}
std::map<int32_t, std::string> stored(const std::string& text) { return stored(load(text)); }

TEST(ConfigErrors, NameFileLineAndSettingOfEveryProblemInFileOrder) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"\n[colour]\n", "app.toml:2: unknown setting 'colour'"},
        {"application = 3\n", "app.toml:1: application: expected a table, got an integer"},
        {"[application]\ntype = 1.5\n", "app.toml:2: application.type: expected \"gui\", \"console\" or an integer, got a"},
        {"[java]\nsearch_order = [\n  \"registry\",\n  { variable = 1 },\n]\n",
         "app.toml:4: java.search_order[1].variable: expected a string, got an integer"},
        {"[application]\nmain_class = \"a.B\"\n[keys]\n122 = \"c.D\"\n",
         "app.toml:4: key 122 is set both by 'application.main_class' (line 2) and by 'keys.\"122\"'"},
        {"[keys]\n\"01\" = \"x\"\n122 = \"a.B\"\n", "app.toml:2: keys.\"01\": a key is a decimal number such as"},
        {"[keys]\n101 = { hex = \"0g\" }\n122 = \"a.B\"\n", "app.toml:2: keys.\"101\".hex: hex takes pairs of hex"},
        {"[vm]\noptions = 1\n[application]\nzzz = 1\naaa = 2\n",
         "app.toml:2: vm.options: expected a string or a list of strings\napp.toml:4: unknown setting 'application.zzz'\n"
         "app.toml:5: unknown setting 'application.aaa'"},
        {"[vm]\noptions = [\n  \"-Da=1\",\n  \"-Db='x' \\\"y\\\"\",\n]\n",
         "app.toml:4: vm.options[1]: the argument holds both a double and a single quote"},
        {"[application]\ntype = 99\n", "app.toml:2: application.type: 99 is no application type"},
        {"[java]\nmin_version = 11\nmax_version = \"1.8\"\n",
         "app.toml:3: java.max_version \"1.8\" is below java.min_version \"11\" (line 2); no Java version"},
        // Names the launcher splits or cuts differently from what was written.
        {"[classpath]\nentries = [{ scan = \"lib\" }, { variable = \"A=B\" }]\n",
         "app.toml:2: classpath.entries[1].variable: the variable's name contains '='"},
        {"[application]\nflavour = \"velmora\"\ndirectory = \"a;b\"\n", "app.toml:3: application.directory contains ';'"},
        // Redirects that cannot work, and a setting given under both its names.
        {"[redirect]\nstderr = true\nstderr_file = \"\"\n",
         "app.toml:3: redirect.stderr = true needs a file: set redirect.stderr_file, for example \"error.log\""},
        {"[redirect]\nstdout = true\nstdout_file = \"$\"\n", "app.toml:3: redirect.stdout_file \"$\" names no property"},
        {"[application]\nlauncher_class_flag = true\n[redirect]\nstderr = true\nappend = false\n",
         "app.toml:2: warning: application.launcher_class_flag is now called redirect.append\n"
         "app.toml:5: key 106 is set both by 'application.launcher_class_flag' (line 2) and by 'redirect.append'"},
        // A warning goes with the errors, in line order.
        {"[application]\ntype = 4\nmian_class = \"x\"\n",
         "app.toml:2: warning: application.type 4 has no meaning of its own\n"
         "app.toml:3: unknown setting 'application.mian_class' (did you mean 'application.main_class'?)"},
    };
    for (const auto& [text, problems] : cases) {
        std::string actual = test::errorOf([&] { load(text); });
        EXPECT_TRUE(test::linesBegin(actual, problems)) << text << "\n" << actual;
    }
}

TEST(ConfigErrors, UnknownNamesSuggestTheNearestKnownOne) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[aplication]\n", "'aplication' (did you mean 'application'?)"},
        {"main_class = \"a.B\"\n", "'main_class' (did you mean 'application.main_class'?)"},
        {"[java]\nmain_class = \"a.B\"\n", "'java.main_class' (did you mean 'application.main_class'?)"},
        {"[messages]\nNo_Jvm_Found_Bit = \"x\"\n", "(did you mean 'messages.no_jvm_found_bits'?)"},
        {"[[files]]\nsorce = \"a\"\n", "'files[0].sorce' (did you mean 'files[0].source'?)"},
        {"[[locale]]\nprefix = \"de\"\nwdie = {}\n", "(did you mean 'locale[0].wide'?)"},
        {"[java]\nlatest = true\n", "unknown setting 'java.latest'\n"},  // nothing near enough
    };
    for (const auto& [text, suggestion] : cases)
        EXPECT_NE((test::errorOf([&] { load(text); }) + "\n").find(suggestion), std::string::npos) << text;
}

// Values the launcher takes, but almost certainly not as meant; the build goes on.
TEST(ConfigWarnings, LegalButUnlikelyValuesAreNamedWithTheirLine) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[application]\ntype = 0\n", "app.toml:2: warning: application.type 0 has no meaning of its own; the launcher "
                                       "treats it as \"console\" (2)"},
        {"[application]\nmain_class = \"com.my-app.Main\"\n",
         "app.toml:2: warning: application.main_class \"com.my-app.Main\": 'my-app' is not a Java identifier"},
        {"[java]\nmax_version = \"1.11\"\n",
         "app.toml:2: warning: java.max_version \"1.11\" is not how Java 11 numbers itself: from Java 9 on, versions "
         "begin \"9\", \"10\", \"11\", ..., and each of them ranks above \"1.11\"; write \"11\""},
        {"[keys]\n1012 = \"Fehler\"\n122 = \"a.B\"\n", "app.toml:2: warning: keys.\"1012\" changes a message the "
                                                      "launcher never shows; the launcher shows messages.caption instead"},
        {"[messages]\nok_label = \"OK\"\n", "app.toml:2: warning: messages.ok_label changes a message the launcher never "
                                            "shows; no launcher path shows it"},
        {"[application]\nlauncher_class_flag = true\n[redirect]\nstdout = true\n",
         "app.toml:2: warning: application.launcher_class_flag is now called redirect.append; write that instead"},
        {"[redirect]\nappend = true\n", "app.toml:2: warning: redirect.append = true has no effect unless redirect.stderr"},
        {"[redirect]\nstderr = false\nstderr_file = \"err.log\"\n",
         "app.toml:3: warning: redirect.stderr_file has no effect unless redirect.stderr = true"},
        // A list element's own line; a text's pieces as the launcher splits them.
        {"[vm]\noptions = [\n  \"-Xmx1g\",\n  \"-classpath/a\",\n  'lib\\x.jar',\n]\n",
         "app.toml:4: warning: vm.options[1]: \"-classpath/a\" and \"lib\\x.jar\" are two options"},
        {"[vm]\noptions = \"-Xmx1g -include-options\"\n",
         "app.toml:2: warning: vm.options: \"-include-options\" has no file after it"},
        {"[vm]\noptions = \"-include-options a b -Dnotes.title=Acme Notes  App -Xmx1g\"\n",
         "app.toml:2: warning: vm.options: \"b\" does not begin with \"-\", yet the launcher passes it to the VM as an "
         "option of its own; the launcher splits this text at every space outside quotes. To keep a value with spaces "
         "in one option, write the list form: options = [\"-include-options\", \"a b\", "
         "\"-Dnotes.title=Acme Notes App\", \"-Xmx1g\"]"},
        // An archive that a scan finds too; letter case, "/", "." and an ending separator aside.
        {"[classpath]\nentries = [\n  { scan = 'x' },\n  { archive = 'lib\\a.JAR' },\n  { scan = './LIB/' },\n]\n",
         "app.toml:4: warning: classpath.entries[1]: the archive lib\\a.JAR is also found by the scan of ./LIB/ "
         "(classpath.entries[2]), so it goes on the class path twice; list the archive or scan its directory, not "
         "both"},
    };
    for (const auto& [text, warning] : cases) {
        std::vector<std::string> warnings = load(text).warnings;
        EXPECT_EQ(warnings.size(), 1u) << text;
        EXPECT_TRUE(test::linesBegin(warnings.empty() ? "" : warnings[0], warning)) << text << "\n" << warnings[0];
    }
    // Values the launcher uses as written draw no warning.
    for (std::string text : {"[application]\ntype = 5\nmain_class = \"com.acme.Outer$Inner\"\n",
                             "[vm]\noptions = [\"-include-options\", \"x.vmoptions\", \"-classpath/p a.jar;b.jar\"]\n",
                             "[redirect]\nstdout = true\nstdout_file = \"$APP_LOG\"\nappend = true\n",
                             "[java]\nmin_version = \"1.8.0_60\"\nmax_version = \"1.8\"\n",
                             "[java]\nmin_version = \"9\"\nmax_version = \"9.0.4\"\n",
                             "[messages]\nno_jvm_found_bits = \"x\"\ncaption = \"y\"\n",
                             "[classpath]\nentries = [{ archive = 'lib\\a.txt' }, { archive = 'lib\\sub\\b.jar' }, "
                             "{ archive = 'c.zip' }, { scan = 'lib' }]\n"})
        EXPECT_EQ(load(text).warnings, std::vector<std::string>{}) << text;
}

TEST(ConfigWarnings, VmOptionPiecesThatDoNotActAsWritten) {
    using Pieces = std::vector<std::string>;
    using Indexes = std::vector<size_t>;
    const std::vector<std::pair<Pieces, Indexes>> cases{
        {{"-classpath", "a.jar", "-Xmx1g", "-classpath/p"}, {0, 3}},
        {{"-cp", "-cp a.jar", "-Djava.class.path=a.jar", "-Dx=-cp"}, {0, 1, 2}},
        // An include takes the next piece as its file, whatever it looks like.
        {{"-include-options", "-classpath", "-Dx=1", "-include-options x"}, {}},
        {{"-classpath a.jar", "-classpath/a b.jar;c.jar", "-classpath/p ${X}"}, {}},
        {{"Notes", "-Dx=a", "b", "-classpath/a", "c.jar", "d.jar"}, {0, 2, 3, 5}},
    };
    for (const auto& [pieces, expected] : cases) {
        Indexes indexes;
        for (const PieceWarning& w : vmOptionWarnings(pieces)) indexes.push_back(w.index);
        EXPECT_EQ(indexes, expected) << pieces[0];
    }
    EXPECT_NE(vmOptionWarnings({"-cp a.jar"})[0].text.find("\"-classpath/a a.jar\" (after them)"), std::string::npos);
}

TEST(ConfigLoad, StoredEntriesFollowDefaultsCodePageAndKeyOrder) {
    auto strings = stored("");
    for (const Setting& s : allSettings())  // the messages the launcher shows, and only those
        // The download question only beside a download page.
        if (s.group == "messages" && s.key != msg::OpenDownloadUrl) { EXPECT_EQ(strings.contains(s.key), !s.neverShown) << s.key; }
    EXPECT_EQ(stored("[java]\ndownload_url = \"https://example.com\"\n")[msg::OpenDownloadUrl],
              "Do you want to open {0} to download Java now?");
    EXPECT_FALSE(strings.contains(2002));  // no included files, no count
    // A file without the later settings gives the block it gave before them.
    for (ConfigKey later : {10200, 10201, 10202, 10203, 10204, 10205, 10206, 10207, 10208}) EXPECT_FALSE(strings.contains(later)) << later;
    EXPECT_TRUE(loadConfiguration("[build]\ndefaults = false\n", "app.toml").head.strings.empty());
    EXPECT_EQ(stored("[keys]\n1000 = \"Fehler\"\n122 = \"a.B\"\n")[1000], "Fehler");  // replaces the default, no clash

    const std::string body = "[application]\nmain_class = \"Grüße\"\n";
    EXPECT_EQ(stored(body)[122], "Gr\xFC\xDF" "e");
    EXPECT_EQ(stored("[build]\ncode_page = \"utf-8\"\n" + body)[122], "Grüße");
    // Raw values by number, sorted by number rather than by their text ("9" before "10").
    BuildPlan plan = load("[keys]\n10003 = \"x\"\n9 = { hex = \"00ff\" }\n122 = \"a.B\"\n"
                          "[wide]\n10 = \"€\"\n9 = { hex = \"00d8\" }\n");
    EXPECT_EQ(std::pair(plan.head.strings.at(0).key, plan.head.strings.at(0).value), std::pair(9, std::string("\0\xFF", 2)));
    ASSERT_EQ(plan.head.wides.size(), 2u);
    EXPECT_EQ(std::pair(plan.head.wides[0].key, plan.head.wides[0].value), std::pair(9, std::u16string(1, char16_t(0xD800))));
    EXPECT_EQ(plan.head.wides[1].value, u"€");
}

// A console application is a console program unless the file says otherwise; the type
// counts however it was written.
TEST(ConfigLoad, SubsystemFollowsTheApplicationTypeUnlessNamed) {
    const std::vector<std::pair<std::string, uint16_t>> cases{
        {"", 2},
        {"application.type = \"gui\"\n", 2},
        {"application.type = \"console\"\n", 3},
        {"application.type = 5\n", 2},
        {"[keys]\n107 = \"2\"\n122 = \"a.B\"\n", 3},
        {"build.subsystem = \"gui\"\napplication.type = \"console\"\n", 2},
        {"build.subsystem = \"Console\"\napplication.type = \"GUI\"\n", 3},
    };
    for (const auto& [text, subsystem] : cases) EXPECT_EQ(load(text).subsystem, subsystem) << text;
    EXPECT_EQ(test::errorOf([] { load("[build]\nsubsystem = \"windows\"\n"); }),
              "app.toml:2: build.subsystem: expected \"gui\" or \"console\", got \"windows\"");
}

// Unless the file sets one, the error box is captioned with the application's name.
TEST(ConfigLoad, CaptionNamesTheApplication) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"", "out/Demo.exe", "Demo"},
        {"version.product_name = \"Acme Notes\"\n", "Demo.exe", "Acme Notes"},
        {"version.product_name = \"Ωmega\"\n", "Demo.exe", "Demo"},  // no Windows-1252 byte for Ω
        {"version.product_name = \"Ωmega\"\n", "Ωmega.exe", "Error"},
        {"messages.caption = \"Fehler\"\n", "Demo.exe", "Fehler"},
        {"[keys]\n1000 = \"\"\n122 = \"a.B\"\n", "Demo.exe", ""},
    };
    for (const auto& [text, output, caption] : cases) {
        BuildPlan plan = load(text);
        nameCaption(plan, output);
        EXPECT_EQ(stored(plan)[1000], caption) << text;
    }
}

TEST(ConfigLoad, MainClassIsRequiredUnlessTheFileTookControl) {
    auto problems = [](const std::string& text) { return test::errorOf([&] { loadConfiguration(text, "app.toml"); }); };
    EXPECT_EQ(problems("[application]\ntype = \"gui\"\n"),
              "app.toml: the application's main class is missing; add it under [application], for example "
              "main_class = \"com.example.Main\" (the class whose main method starts the application)");
    // Said once: a refused or misspelt main class has its own message.
    EXPECT_EQ(problems("[application]\nmian_class = \"a.B\"\n"),
              "app.toml:2: unknown setting 'application.mian_class' (did you mean 'application.main_class'?)");
    EXPECT_EQ(problems("[application]\nmain_class = \"a b\"\n").find("missing"), std::string::npos);
    EXPECT_EQ(loadConfiguration("[keys]\n122 = \"a.B\"\n", "app.toml").warnings, std::vector<std::string>{});
    EXPECT_EQ(loadConfiguration("[build]\ndefaults = false\n", "app.toml").warnings,
              std::vector<std::string>{
                  "app.toml: warning: no application.main_class: the launcher class would have no application to "
                  "start"});
}

class RuntimeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(jar_, "PK runtime");
        test::writeFile(dir_ / "a.jar", "PK app");
    }
    BuildPlan load(const std::string& text) {
        return loadConfiguration("application.main_class = \"a.B\"\n" + text, dir_ / "app.toml",
                                 {.runtimeLibrary = jar_});
    }
    std::string problems(const std::string& text) { return test::errorOf([&] { load(text); }); }

    test::TempDir dir_;
    std::filesystem::path jar_ = dir_ / "tool/kestro-runtime.jar";
};

// Kestro launchers carry it as the last included file, unless switched off; velmora
// launchers never do.
TEST_F(RuntimeLibrary, IsTheLastIncludedFileOfKestroLaunchers) {
    struct Case {
        std::string text;
        std::string count, names;  // keys 2002 and 2003, "" when absent
    };
    const std::vector<Case> cases{
        {"files = [{ source = \"a.jar\", name = \"lib/a.jar\" }]\n", "2", "lib\\a.jar;kestro-runtime.jar"},
        {"", "1", "kestro-runtime.jar"},
        {"build.defaults = false\nbuild.include_runtime_library = true\n", "1", "kestro-runtime.jar"},
        {"build.include_runtime_library = false\n", "", ""},
        {"application.flavour = \"velmora\"\n", "", ""},
        {"build.defaults = false\n", "", ""},
        {"keys.2001 = \"v2\"\n", "", ""},
    };
    for (const Case& c : cases) {
        BuildPlan plan = load(c.text);
        auto strings = stored(plan);
        EXPECT_EQ(strings[2002], c.count) << c.text;
        EXPECT_EQ(strings[2003], c.names) << c.text;
        EXPECT_EQ(plan.files.empty() ? "" : plan.files.back().source.string(), c.count.empty() ? "" : jar_.string());
        EXPECT_EQ(plan.warnings, std::vector<std::string>{}) << c.text;
    }
    BuildPlan velmora = load("application.flavour = \"velmora\"\nbuild.include_runtime_library = true\n");
    EXPECT_TRUE(velmora.files.empty());
    ASSERT_EQ(velmora.warnings.size(), 1u);
    EXPECT_NE(velmora.warnings[0].find(":3: warning: build.include_runtime_library has no effect in the velmora "
                                       "flavour"),
              std::string::npos);
}

TEST_F(RuntimeLibrary, AClashingNameIsAnError) {
    EXPECT_NE(problems("files = [{ source = \"a.jar\", name = \"Kestro-Runtime.jar\" }]\n")
                  .find(":2: files[0].name: \"Kestro-Runtime.jar\" is the name under which kestro build includes the "
                        "Java runtime library; rename the file, or set build.include_runtime_library = false to ship "
                        "your own"),
              std::string::npos);
    EXPECT_EQ(problems("build.include_runtime_library = false\n"
                       "files = [{ source = \"a.jar\", name = \"kestro-runtime.jar\" }]\n"),
              "");
    EXPECT_NE(problems("keys.2002 = \"0\"\n").find(":2: keys.\"2002\": kestro build writes the included files' count"),
              std::string::npos);
}

// The launcher finds archives only at the top of its temporary directory and in "user";
// the others are put on the class path, unless the file says otherwise.
using IncludedArchives = RuntimeLibrary;
TEST_F(IncludedArchives, OfSubFoldersGoFirstOnTheClassPath) {
    std::string files = "files = [";
    for (std::string name : {"lib/a.jar", "lib/a.txt", "User/a.jar", "a.jar", "ext/b.ZIP"})
        files += "{ source = \"a.jar\", name = \"" + name + "\" }, ";
    files += "]\n";
    const std::string both = "A0%KESTRO_TEMPDIR%\\lib\\a.jar;A0%KESTRO_TEMPDIR%\\ext\\b.ZIP";
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{  // text, key 121, the warning
        {files, both, ""},
        {files + "classpath.entries = [{ scan = \"x\" }]\n", both + ";S1x", ""},
        {files + "classpath = { entries = [{ scan = \"x\" }], included_subfolder_archives = false }\n", "S1x", ""},
        {files + "keys.121 = \"S1x\"\n", "S1x", ""},
        {"build.defaults = false\n" + files + "classpath.included_subfolder_archives = true\n", both, ""},
        {"build.defaults = false\n" + files, "",
         "/app.toml:3: warning: files[0].name: \"lib\\a.jar\" is an archive in a sub-folder of the temporary "
         "directory, where the launcher looks for none; set classpath.included_subfolder_archives = true to put such "
         "archives on the class path"},
    };
    for (const auto& [text, classPath, warning] : cases) {
        BuildPlan plan = load(text);
        EXPECT_EQ(stored(plan)[121], classPath) << text;
        EXPECT_EQ(plan.warnings, warning.empty() ? std::vector<std::string>{} : std::vector{dir_.path.string() + warning});
    }
}

// A modular application names its main module instead of a main class, needs Java 9 or
// later, and finds its included modules in the temporary directory, off the class path.
TEST(ConfigLoad, ModularApplications) {
    test::TempDir dir;
    test::writeFile(dir / "app.jar", "PK app");
    const std::string module = "application.main_module = \"com.example.app\"\n";
    const std::string files = "files = [{ source = \"app.jar\", name = \"mods/app.jar\" }]\n";
    struct Case {
        std::string text;
        std::string problems;     // the lines that begin the error, else empty
        std::string minVersion;   // key 126
        std::string modulePath;   // key 10208
        std::string classPath;    // key 121
        std::string warning;
    };
    for (const Case& c : std::initializer_list<Case>{
             {module, "", "9"},
             {module + "java.min_version = \"1.8\"\n", "", "9"},
             {module + "java.min_version = \"11\"\njava.max_version = \"17\"\n", "", "11"},
             {module + "java.max_version = \"9.0.4\"\n", "", "9"},
             {module + "keys.126 = \"1.6\"\n", "", "1.6"},  // the file took control
             {module + "java.max_version = \"1.8\"\n",
              ":2: java.max_version \"1.8\" admits no Java with modules: application.main_module (line 1) needs Java "
              "9 or later"},
             {module + "application.main_class = \"a.B\"\n",
              ":1: application.main_module and application.main_class (line 2) exclude each other"},
             {module + "keys.122 = \"a.B\"\n", ":1: application.main_module and keys.\"122\" (line 2) exclude"},
             {"application.main_class = \"a.B\"\napplication.module_path = [\"mods\"]\n",
              ":2: application.module_path needs application.main_module"},
             {"application.module_path = [\"mods\"]\n", ": the application's main class is missing\n" +
                                                         dir.path.string() + "/app.toml:1: application.module_path needs"},
             {"application.main_module = \"com.my-app\"\n", ":1: application.main_module: \"com.my-app\": the "
                                                           "module's name \"com.my-app\" is no dotted name"},
             // Included modules by name, beside other places; off the class path.
             {module + files + "application.module_path = [\"MODS\\\\app.jar\", \"lib\"]\n", "", "9",
              "%KESTRO_TEMPDIR%\\mods\\app.jar;lib", ""},
             {module + files + "application.module_path = [\"lib\"]\n", "", "9", "lib",
              "A0%KESTRO_TEMPDIR%\\mods\\app.jar"},
             {module + files + "application.module_path = ['%KESTRO_TEMPDIR%\\mods\\app.jar']\n", "", "9",
              "%KESTRO_TEMPDIR%\\mods\\app.jar", ""},  // as inspect --toml prints it
             {module + "files = [{ source = \"app.jar\" }]\napplication.module_path = [\"app.jar\"]\n", "", "9",
              "%KESTRO_TEMPDIR%\\app.jar", "",
              "/app.toml:3: warning: application.module_path[0]: the included file \"app.jar\" is on the class path too, "
              "as every archive at the top of the temporary directory and in its user folder is; give it a folder of "
              "its own, such as name = \"mods/app.jar\""},
         }) {
        std::string problems = test::errorOf([&] { loadConfiguration(c.text, dir / "app.toml"); });
        EXPECT_TRUE(c.problems.empty() ? problems.empty() : test::linesBegin(problems, dir.path.string() + "/app.toml" + c.problems))
            << c.text << "\n" << problems;
        if (!c.problems.empty() || !problems.empty()) continue;
        BuildPlan plan = loadConfiguration(c.text, dir / "app.toml");
        auto keys = stored(plan);
        EXPECT_EQ(keys[key::MinVersion], c.minVersion) << c.text;
        EXPECT_EQ(keys[key::ModulePath], c.modulePath) << c.text;
        EXPECT_EQ(keys[key::ClassPath], c.classPath) << c.text;
        EXPECT_FALSE(keys.contains(key::MainClass)) << c.text;
        EXPECT_EQ(plan.warnings, c.warning.empty() ? std::vector<std::string>{} : std::vector{dir.path.string() + c.warning});
    }
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
