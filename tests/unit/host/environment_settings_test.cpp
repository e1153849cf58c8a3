#include <gtest/gtest.h>

#include "host/environment_settings.h"

namespace kestro {
namespace {

std::optional<std::string> fakeEnvironment(const char* name) {
    std::string n(name);
    if (n == "PATH") return std::string("C:\\Windows");
    if (n == "EMPTY") return std::string();
    if (n == "LOOP") return std::string("%LOOP%");
    return std::nullopt;
}

TEST(EnvironmentSettings, PercentReferencesToSetVariablesAreReplaced) {
    struct Case {
        std::string text, want;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"%PATH%;C:\\app", "C:\\Windows;C:\\app"},
             {"a%EMPTY%b", "ab"},
             {"%UNSET%", "%UNSET%"},                   // left as written, as the command prompt does
             {"%UNSET%PATH%", "%UNSETC:\\Windows"},    // the closing % may open the next one
             {"50%", "50%"},                           // a lone % stays
             {"%%", "%%"},
             {"%LOOP%%LOOP%", "%LOOP%%LOOP%"},         // values are not searched again
             {"%path%", "%path%"},                     // the fake environment knows PATH only
         }) {
        std::string text = c.text;
        expandPercentReferences(text, fakeEnvironment);
        EXPECT_EQ(text, c.want) << c.text;
    }
}

TEST(EnvironmentSettings, StoredLinesGiveNamesAndValues) {
    auto settings = parseEnvironmentSettings("A=1\nPATH_EXTRA=${launcher:sys.launcherDirectory}bin\n=x\nnoequals\nB=x=y\nC=");
    ASSERT_EQ(settings.size(), 4u);
    EXPECT_EQ(settings[1].name, "PATH_EXTRA");
    EXPECT_EQ(settings[1].value, "${launcher:sys.launcherDirectory}bin");
    EXPECT_EQ(settings[2].value, "x=y");  // the name ends at the first "="
    EXPECT_EQ(settings[3].value, "");
}

}  // namespace
}  // namespace kestro
