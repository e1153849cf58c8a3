#include <gtest/gtest.h>

#include "instance/instance_names.h"

namespace kestro {
namespace {

TEST(InstanceNames, PathBecomesAnObjectNameBelowTheSessionOrMachinePrefix) {
    EXPECT_EQ(instanceSemaphoreBase("c:\\program files\\app\\run.exe", false), "Local\\c:_program_files_app_run.exe");
    EXPECT_EQ(instanceSemaphoreBase("c:\\program files\\app\\run.exe", true), "Global\\c:_program_files_app_run.exe");
    // Only backslashes and blanks change: tabs, slashes and 8-bit characters stay.
    EXPECT_EQ(instanceSemaphoreBase("\\\\srv\\a\tb/\xE9 x.exe", false), "Local\\__srv_a\tb/\xE9_x.exe");
}

TEST(InstanceNames, NumberedAndNotificationNamesKeepTheBase) {
    std::string base = instanceSemaphoreBase("z:\\a b\\app.exe", false);
    EXPECT_EQ(numberedSemaphoreName(base, 0), "Local\\z:_a_b_app.exe0");
    EXPECT_EQ(numberedSemaphoreName(base, 100000), "Local\\z:_a_b_app.exe100000");
    EXPECT_EQ(notificationSemaphoreName(base), "Local\\z:_a_b_app.exe_notification");
}

TEST(InstanceNames, NamesStayWithinTheTextBuffer) {
    std::string longPath = "c:\\" + std::string(9000, 'a');
    std::string base = instanceSemaphoreBase(longPath, true);
    EXPECT_EQ(base.size(), 8191u);
    EXPECT_EQ(base.substr(0, 10), "Global\\c:_");
    EXPECT_EQ(numberedSemaphoreName(base, 7).size(), 8191u);
    EXPECT_EQ(notificationSemaphoreName(base).size(), 8191u);
}

}  // namespace
}  // namespace kestro
