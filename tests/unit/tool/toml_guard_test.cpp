#include <gtest/gtest.h>

#include "tool/config/config_loader.h"
#include "tool/toml/toml_guard.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

const std::string u = "\xC3\xBC";  // "ü" in UTF-8

TEST(TomlGuard, FindsWhatTheParserCannotReportSafelyWithItsLine) {
    const std::vector<std::tuple<std::string, size_t, std::string>> cases{
        {u, 1, "not in quotes or a comment"},
        {"a = 1\n" + u + " = 2\n", 2, "not in quotes or a comment"},
        {"a = 1 " + u + "\n", 1, "not in quotes or a comment"},
        {"a = [\n  1,\n  " + u + "]\n", 3, "not in quotes or a comment"},
        {"[a" + u + "]\n", 1, "not in quotes or a comment"},
        {"[=", 1, "needs a name"},
        {"a = 1\n  [ =]\n", 2, "needs a name"},
        {"[[=]]", 1, "needs a name"},
        {"[#]", 1, "needs a name"},
        {"[.a]", 1, "needs a name"},
        {"[\n", 1, "needs a name"},
        {"a = [1,\n  # c\n}", 3, "expects a value"},
        {"a = 1\nd = 1979-05-27 0 # c", 2, "a date followed by a space and a lone digit"},
        {"d = [1979-0_5-27 0]", 1, "a date followed by a space and a lone digit"},
        {"d = 1979-\x10" "5-27 0,", 1, "a date followed by a space and a lone digit"},
        {"[java]\nmin_version = \"1.8\"\nc = 1979-05-27type32:00\n", 3, "a 'T' without a time"},
        {"c = [1979-05-2_7T]", 1, "a 'T' without a time"},
        {"a = \"\"\"\\" + u + "\"\"\"", 1, "no escape sequence"},
        {"a = \"\"\"x\\\n\n  " + u + "\"\"\"", 3, "line-ending backslash"},
        {"a = \"\"\"x\\  " + u + "\"\"\"", 1, "line-ending backslash"},
        // Quotes that only look like an end: two inside, up to five at the end.
        {"a = \"\"\"x\"\"y\"\"\"\"\"\nb = " + u, 2, "not in quotes or a comment"},
        {"a = \"x\\\"\" " + u, 1, "not in quotes or a comment"},
        // The parser reads ahead over a bare value, quotes included, before it knows its type.
        {"a = 3p'" + u + "'\n", 1, "not in quotes or a comment"},
        {"a = [1, 2x\"" + u + "\"]\n", 1, "not in quotes or a comment"},
    };
    for (const auto& [text, line, message] : cases) {
        auto hazard = findParserHazard(text);
        ASSERT_TRUE(hazard) << text;
        EXPECT_EQ(hazard->line, line) << text;
        EXPECT_NE(hazard->message.find(message), std::string::npos) << text << ": " << hazard->message;
    }
}

TEST(TomlGuard, LeavesEverythingElseToTheParser) {
    for (const std::string& text : std::vector<std::string>{
             "\xEF\xBB\xBF" "a = 1\n",
             "# " + u + "\n\"" + u + "\" = \"" + u + "\"\n['x" + u + "']\nb = '''\n" + u + "\\\n" + u + "'''\n",
             "a = \"\"\"\n" + u + "\\u00FC\\\n   x" + u + "\"\"\"\n",
             "a = \"\\" + u + "\"\n",  // an unknown escape, which the parser reports
             "a = [\n[1], [2]]\n[b]\n[[c]]\n[ d . \"e\" ]\n",
             "d = 1979-05-27T07:32:00Z\ne = 1979-05-27t0\n",  // the parser reports a short time itself
             "d = 1979-05-27 07:32:00 # " + u + "\nt = { a = \"" + u + "\", b = [ 1, '" + u + "' ] }\n"
             "l = [\n  \"" + u + "\", # " + u + "\n  { c = \"" + u + "\" },\n]\n",
             "[]\n[a.=\nx = {=1}\n[ [a]]\n",  // malformed, but reported properly
         })
        EXPECT_FALSE(findParserHazard(text)) << text << ": " << findParserHazard(text)->message;
}

TEST(TomlGuard, ConfigurationsWithAHazardAreRefusedBeforeParsing) {
    EXPECT_EQ(test::errorOf([] { loadConfiguration("[application]\n\xC3\xBC", "app.toml"); }),
              "app.toml:2: a character outside the ASCII range that is not in quotes or a comment; TOML allows such "
              "characters only in quoted keys, strings and comments");
}

}  // namespace
}  // namespace kestro::tool
