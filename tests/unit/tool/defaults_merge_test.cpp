#include <gtest/gtest.h>

#include <algorithm>

#include "tool/config/config_loader.h"
#include "tool/config/defaults_merge.h"
#include "tool/toml/toml_writer.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

struct MergeCase {
    const char* what;
    const char* user;
    const char* defaults;
    const char* place;     // in the merged document
    const char* expected;  // its value, inline; "" for none
    const char* warnings;  // their beginnings, one a line
};

TEST(DefaultsMerge, UserWinsDefaultsFillGatheringListsAppendAndPathsComeFromTheDefaultsFile) {
    const std::vector<MergeCase> cases{
        {"absent", "[application]\ntype = \"gui\"\n", "[application]\nmain_class = \"a.B\"\n",
         "application.main_class", "\"a.B\"", ""},
        {"equal", "[application]\nmain_class = \"a.B\"\n", "\n[application]\nmain_class = \"a.B\"\n",
         "application.main_class", "\"a.B\"", ""},
        {"conflicting", "\n[application]\nmain_class = \"x.Y\"\n", "[application]\nmain_class = \"a.B\"\n",
         "application.main_class", "\"x.Y\"",
         "app.toml:3: warning: application.main_class = \"x.Y\" wins over application.main_class = \"a.B\" of "
         "/d/derived.toml:2"},
        {"the key set through [keys]", "[keys]\n122 = \"x.Y\"\n", "[application]\nmain_class = \"a.B\"\n",
         "application.main_class", "",
         "app.toml:2: warning: keys.122 = \"x.Y\" wins over application.main_class = \"a.B\""},
        {"the key set through [keys], equal", "[keys]\n122 = \"a.B\"\n", "[application]\nmain_class = \"a.B\"\n",
         "application.main_class", "", ""},
        {"the key set under its former name", "[application]\nlauncher_class_flag = true\n",
         "[redirect]\nappend = false\n", "redirect.append", "",
         "app.toml:2: warning: application.launcher_class_flag = true wins over redirect.append = false"},
        {"a whole table", "[application]\ntype = \"gui\"\n", "[version]\nproduct_name = \"P\"\n",
         "version.product_name", "\"P\"", ""},
        {"[version] is the user's to replace", "[version]\nproduct_name = \"Mine\"\n",
         "[version]\nproduct_name = \"P\"\nfile_version = \"1.2.3\"\n", "version.product_name", "\"Mine\"", ""},
        {"[version] fills in", "[version]\nproduct_name = \"Mine\"\n",
         "[version]\nproduct_name = \"P\"\nfile_version = \"1.2.3\"\n", "version.file_version", "\"1.2.3\"", ""},
        {"generate = false takes nothing", "[version]\ngenerate = false\n", "[version]\nproduct_name = \"P\"\n",
         "version.product_name", "", ""},
        {"an array is one value", "[vm]\noptions = [\"-Xmx1g\"]\n", "[vm]\noptions = [\"-Xmx2g\"]\n", "vm.options",
         "[\"-Xmx1g\"]", "app.toml:2: warning: vm.options = [\"-Xmx1g\"] wins over vm.options = [\"-Xmx2g\"]"},
        {"a table against a value", "version = 3\n", "[version]\nproduct_name = \"P\"\n", "version", "3",
         "app.toml:1: warning: version = 3 wins over version = { product_name = \"P\" }"},
        {"included files gather", "[[files]]\nsource = \"a.jar\"\n", "[[files]]\nsource = \"/p/b.jar\"\n",
         "files[1].source", "\"/p/b.jar\"", ""},
        {"an included file of the same name stays out", "[[files]]\nsource = \"a.jar\"\n\n[[files]]\nsource = \"lib/Core.jar\"\n",
         "[[files]]\nsource = \"/m/core.jar\"\n", "files[2]", "",
         "app.toml:4: warning: the included file \"Core.jar\" takes the place of \"/m/core.jar\" of /d/derived.toml:1, "
         "which would be included under the same name"},
        {"class path entries gather once", "[classpath]\nentries = [{ archive = \"a.jar\" }]\n",
         "[classpath]\nentries = [{ archive = \"a.jar\" }, { archive = \"lib\\\\b.jar\" }]\n", "classpath.entries",
         "[{ archive = \"a.jar\" }, { archive = \"lib\\\\b.jar\" }]", ""},
        {"[keys] 121 sets the whole class path", "[keys]\n121 = \"x.jar\"\n",
         "[classpath]\nentries = [{ archive = \"lib\\\\b.jar\" }]\n", "classpath.entries", "",
         "app.toml:2: warning: keys.121 = \"x.jar\" wins over classpath.entries"},
        {"package files gather", "[package]\nname = \"A\"\n\n[[package.files]]\nsource = \"/r/readme.txt\"\n",
         "[[package.files]]\nsource = \"lib/b.jar\"\ntarget = \"lib/b.jar\"\n", "package.files[1].source",
         "\"/d/lib/b.jar\"", ""},
        {"a relative path", "", "[splash]\nimage = \"img/splash.png\"\n", "splash.image", "\"/d/img/splash.png\"", ""},
        {"an absolute path", "", "[splash]\nimage = \"/x/splash.png\"\n", "splash.image", "\"/x/splash.png\"", ""},
        {"an included file's relative source", "", "[[files]]\nsource = \"../b.jar\"\nname = \"b.jar\"\n",
         "files[0].source", "\"/b.jar\"", ""},
        {"no path: a class path entry", "", "[classpath]\nentries = [{ archive = \"lib\\\\b.jar\" }]\n",
         "classpath.entries[0].archive", "\"lib\\\\b.jar\"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        toml::table user = toml::parse(std::string_view(c.user), std::string_view("app.toml"));
        toml::table defaults = toml::parse(std::string_view(c.defaults), std::string_view("/d/derived.toml"));
        std::vector<std::string> warnings = mergeDefaults(user, defaults, "app.toml", "/d/derived.toml");
        toml::node_view<toml::node> value = user.at_path(c.place);
        EXPECT_EQ(value ? tomlInline(*value.node()) : "", c.expected);
        std::string text;
        for (const auto& w : warnings) text += (text.empty() ? "" : "\n") + w;
        EXPECT_TRUE(test::linesBegin(text, c.warnings)) << text;
    }
}

BuildInputs defaultsFrom(const std::filesystem::path& file) {
    BuildInputs inputs;
    inputs.defaults = file;
    return inputs;
}

// Through the loader: what the defaults set reaches the launcher, and what is wrong in
// the defaults file names that file and its line.
TEST(DefaultsMerge, LoaderNamesTheDefaultsFileForItsOwnProblems) {
    test::TempDir dir;
    test::writeFile(dir / "derived.toml", "# derived\n[application]\nmain_class = \"a.B\"\ntype = 9\n");
    std::string error = test::errorOf([&] {
        loadConfiguration("[vm]\noptions = [\"-Xmx1g\"]\n", dir / "app.toml", defaultsFrom(dir / "derived.toml"));
    });
    EXPECT_TRUE(test::linesBegin(error, (dir / "derived.toml").string() + ":4: application.type: 9 is no application type"))
        << error;

    test::writeFile(dir / "broken.toml", "[application]\nmain_class = \n");
    error = test::errorOf([&] { loadConfiguration("", dir / "app.toml", defaultsFrom(dir / "broken.toml")); });
    EXPECT_TRUE(error.starts_with((dir / "broken.toml").string() + ":2: ")) << error;

    test::writeFile(dir / "good.toml", "[application]\nmain_class = \"a.B\"\n");
    BuildPlan plan = loadConfiguration("[application]\nmain_class = \"x.Y\"\n", dir / "app.toml",
                                       defaultsFrom(dir / "good.toml"));
    ASSERT_EQ(plan.warnings.size(), 1u);
    EXPECT_TRUE(plan.warnings[0].starts_with((dir / "app.toml").string() + ":2: warning: application.main_class"))
        << plan.warnings[0];
    auto stored = std::ranges::find(plan.head.strings, 122, &format::StringEntry::key);
    ASSERT_NE(stored, plan.head.strings.end());
    EXPECT_EQ(stored->value, "x.Y");

    error = test::errorOf([&] { loadConfiguration("", dir / "app.toml", defaultsFrom(dir / "missing.toml")); });
    EXPECT_TRUE(error.starts_with("cannot read " + (dir / "missing.toml").string())) << error;
}

}  // namespace
}  // namespace kestro::tool
