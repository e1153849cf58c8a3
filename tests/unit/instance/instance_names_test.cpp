#include <gtest/gtest.h>

#include "instance/instance_names.h"

namespace kestro {
namespace {

TEST(InstanceNames, PathBecomesAnObjectNameBelowTheSessionOrMachinePrefix) {
    EXPECT_EQ(instanceObjectName("c:\\program files\\app\\run.exe", false), "Local\\c:_program_files_app_run.exe");
    EXPECT_EQ(instanceObjectName("c:\\program files\\app\\run.exe", true), "Global\\c:_program_files_app_run.exe");
    // Only backslashes and blanks change: tabs, slashes and 8-bit characters stay.
    EXPECT_EQ(instanceObjectName("\\\\srv\\a\tb/\xE9 x.exe", false), "Local\\__srv_a\tb/\xE9_x.exe");
    EXPECT_EQ(numberedSemaphoreName("z:\\a b\\app.exe", false, 0), "Local\\z:_a_b_app.exe0");
    EXPECT_EQ(numberedSemaphoreName("z:\\a b\\app.exe", false, 100000), "Local\\z:_a_b_app.exe100000");
    EXPECT_EQ(notificationSemaphoreName("z:\\a b\\app.exe", false), "Local\\z:_a_b_app.exe_notification");
}

// Windows refuses names of 260 characters or more. A name that fits stays as formed;
// a longer one keeps its head and ends in a hash of the whole path and the suffix.
TEST(InstanceNames, NamesTooLongForWindowsAreShortenedApart) {
    // A canonical path of `length` characters ending in `last`.
    auto pathOf = [](size_t length, char last) { return "c:\\" + std::string(length - 4, 'd') + last; };
    struct Case { size_t length; bool global; std::string suffix; bool shortened; };
    for (const Case& c : std::initializer_list<Case>{
             {240, false, "", false}, {240, false, "_notification", false},  // 259 characters
             {241, false, "_notification", true},
             {250, false, "", false}, {250, false, "_notification", true},
             {250, false, "999", false}, {250, false, "1000", true},
             {253, false, "", false}, {254, false, "", true},
             {252, true, "", false}, {253, true, "", true},
             {300, false, "", true}, {300, true, "_notification", true}, {300, false, "100000", true},
         }) {
        std::string path = pathOf(c.length, 'x'), prefix = c.global ? "Global\\" : "Local\\";
        std::string whole = prefix + "c:_" + std::string(c.length - 4, 'd') + "x" + c.suffix;
        std::string name = instanceObjectName(path, c.global, c.suffix);
        std::string row = std::to_string(c.length) + c.suffix;
        if (!c.shortened) {
            EXPECT_EQ(name, whole) << row;
            continue;
        }
        EXPECT_EQ(name.size(), kLongestObjectName) << row;
        size_t head = kLongestObjectName - 17 - c.suffix.size();
        EXPECT_EQ(name.substr(0, head + 1), whole.substr(0, head) + "~") << row;
        EXPECT_EQ(name.substr(head + 1, 16).find_first_not_of("0123456789abcdef"), std::string::npos) << row;
        EXPECT_EQ(name.substr(head + 17), c.suffix) << row;
        // Paths that differ only beyond the head, even where the unshortened names would
        // be the same ("_" for a blank), get names of their own.
        for (char other : {'y', ' ', '_'})
            EXPECT_NE(instanceObjectName(pathOf(c.length, other), c.global, c.suffix), name) << row << other;
    }
    // Every version of the launcher shortens alike.
    EXPECT_EQ(instanceObjectName(pathOf(300, 'x'), false).substr(242), "~584c6c06ad8fe3bc");
}

}  // namespace
}  // namespace kestro
