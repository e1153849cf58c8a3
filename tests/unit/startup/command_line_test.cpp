// The command line: how it is split, and the scan for the quiet and console switches.
#include <gtest/gtest.h>

#include "startup/command_line.h"
#include "startup/switch_scan.h"

namespace kestro {
namespace {

using Args = std::vector<Utf16>;

TEST(SplitCommandLine, Rules) {
    struct Case { const char16_t* text; Args want; };
    for (const Case& c : std::initializer_list<Case>{
             {u"a\"b c\"d", {u"ab c", u"d"}},  // quotes join the text around them
             {u"\"\"", {u""}}, {u"\"abc", {u"abc"}},
             {u"x\\\"y", {u"x\\y"}},  // the backslash escapes nothing
             // A single quote groups only where it opens an argument and is closed later.
             {u"it's \"a b\"", {u"it's", u"a b"}}, {u"O'Brien.txt b.txt", {u"O'Brien.txt", u"b.txt"}},
             {u"'a \"b' c", {u"a \"b", u"c"}}, {u"\"it's\" x", {u"it's", u"x"}}, {u"'abc d", {u"'abc", u"d"}},
             {u"a'b c'", {u"a'b", u"c'"}}, {u"\"a\"'b c'", {u"a", u"b c"}},
             {u"a\tb  c   ", {u"a\tb", u"c"}},  // only the space separates
             {u"   ", {}}, {u"", {}},
             {u"\"a\"\"b\"", {u"a", u"b"}},  // text right after a closing quote starts anew
             {u"\"a\"  b", {u"a", u"b"}},
         }) {
        Args got{u"first"}, want{u"first"};  // the splitter appends to what is there
        splitCommandLine(c.text, got);
        want.insert(want.end(), c.want.begin(), c.want.end());
        EXPECT_EQ(got, want) << ::testing::PrintToString(c.text);
    }
}

// What the scan did, in order: "q" for boxes switched off, "c" for a console opened.
std::string done;
bool consoleAvailable = true;

TEST(SwitchScan, Rules) {
    struct Case { Args arguments; bool quietSwitches, console; const char* done; bool result; };
    for (const Case& c : std::initializer_list<Case>{
             // "-c" opens the console after switching boxes off, and nothing after it is looked at.
             {{u"app", u"-c", u"-console", u"-q"}, true, true, "qc", true},
             // Without a console, "-c" ends the start; "-console" does not.
             {{u"app", u"-c", u"-q"}, true, false, "qc", false},
             {{u"app", u"-console", u"-q"}, true, false, "cq", true},
             // The quiet switches need their key; element 0 takes part; only exact texts count.
             {{u"-q", u"x", u"-c", u"-console"}, false, false, "c", true},
             {{u"-Q", u"-qx", u"-c ", u"--console"}, true, true, "", true},
         }) {
        done.clear();
        consoleAvailable = c.console;
        SwitchActions actions{[] { done += 'q'; }, [] {
                                     done += 'c';
                                     return consoleAvailable;
                                 }};
        EXPECT_EQ(scanSwitches(c.arguments, c.quietSwitches, actions), c.result) << c.done;
        EXPECT_EQ(done, c.done);
    }
}

}  // namespace
}  // namespace kestro
