#include <gtest/gtest.h>

#include "instance/instance_names.h"

namespace kestro {
namespace {

TEST(InstanceNames, PathBecomesAnObjectNameBelowTheSessionOrMachinePrefix) {
    EXPECT_EQ(instanceSemaphoreBase("c:\\program files\\app\\run.exe", false), "Local\\c:_program_files_app_run.exe");
    EXPECT_EQ(instanceSemaphoreBase("c:\\program files\\app\\run.exe", true), "Global\\c:_program_files_app_run.exe");
    // Only backslashes and blanks change: tabs, slashes and 8-bit characters stay.
    EXPECT_EQ(instanceSemaphoreBase("\\\\srv\\a\tb/\xE9 x.exe", false), "Local\\__srv_a\tb/\xE9_x.exe");
    // The numbered and notification names keep the base.
    std::string base = instanceSemaphoreBase("z:\\a b\\app.exe", false);
    EXPECT_EQ(numberedSemaphoreName(base, 0), "Local\\z:_a_b_app.exe0");
    EXPECT_EQ(numberedSemaphoreName(base, 100000), "Local\\z:_a_b_app.exe100000");
    EXPECT_EQ(notificationSemaphoreName(base), "Local\\z:_a_b_app.exe_notification");
}

}  // namespace
}  // namespace kestro
