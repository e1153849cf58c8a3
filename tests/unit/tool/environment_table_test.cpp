#include <gtest/gtest.h>

#include "format/config_keys.h"
#include "tool/config/config_loader.h"
#include "tool/config/environment_table.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

std::string storedEnvironment(const std::string& text) {
    BuildPlan plan = loadConfiguration("[application]\nmain_class = \"a.B\"\n" + text, "app.toml");
    for (const auto& e : plan.head.strings)
        if (e.key == key::Environment) return e.value;
    return "(none)";
}

TEST(EnvironmentTable, NamesWindowsTakesAndNoOther) {
    struct Case {
        std::string name, error;  // error empty: accepted
    };
    for (const Case& c : std::initializer_list<Case>{
             {"PATH_EXTRA", ""},
             {"ProgramFiles(x86)", ""},
             {"my var", ""},  // Windows takes spaces in names
             {"Grüße", ""},
             {"", "a variable needs a name"},
             {"A=B", "\"A=B\" is no variable name: it contains '='"},
             {"=C:", "\"=C:\" is no variable name: it contains '='"},
             {"A\tB", "\"A\tB\" is no variable name: it contains a control character"},
         })
        EXPECT_EQ(test::errorOf([&] { checkEnvironmentName(c.name); }), c.error.empty() ? "" : ": " + c.error)
            << c.name;
}

TEST(EnvironmentTable, StoredAsLinesAndRefusedWithTheLine) {
    EXPECT_EQ(storedEnvironment("[environment]\nB = \"%PATH%;x\"\nA = \"${launcher:sys.launcherDirectory}bin\"\n"),
              "A=${launcher:sys.launcherDirectory}bin\nB=%PATH%;x");
    EXPECT_EQ(storedEnvironment("[environment]\n"), "(none)");  // nothing to set, nothing stored
    EXPECT_EQ(test::errorOf([] { storedEnvironment("[environment]\nOK = \"1\"\n\"A=B\" = \"x\"\n"); }),
              "app.toml:5: environment.A=B: \"A=B\" is no variable name: it contains '='");
    EXPECT_EQ(test::errorOf([] { storedEnvironment("[environment]\nA = 1\n"); }),
              "app.toml:4: environment.A: expected a string, got an integer");
    EXPECT_EQ(test::errorOf([] { storedEnvironment("[environment]\nA = \"two\\nlines\"\n"); }),
              "app.toml:4: environment.A: the value contains a control character, which the launcher cannot set");
    // Only a text the build writes reads back as the table.
    for (std::string_view odd : {"A", "=x", "A=1\nA=2", "B=1\nA=2", "A=1\n"})
        EXPECT_FALSE(decodeEnvironment(odd, CodePage::Windows1252)) << odd;
    EXPECT_TRUE(decodeEnvironment("A=1\nB=", CodePage::Windows1252));
}

}  // namespace
}  // namespace kestro::tool
