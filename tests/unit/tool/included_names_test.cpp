#include <gtest/gtest.h>

#include "tool/included_names.h"
#include "tool/setting_error.h"

namespace kestro::tool {
namespace {

TEST(IncludedNames, AcceptsFilesAtTheTopOrOneDirectoryDown) {
    EXPECT_EQ(normaliseIncludedName("app.jar"), "app.jar");
    EXPECT_EQ(normaliseIncludedName("lib/app.jar"), "lib\\app.jar");
    EXPECT_EQ(normaliseIncludedName("lib\\native.dll"), "lib\\native.dll");
    EXPECT_EQ(includedNamePath("lib\\app.jar"), std::filesystem::path("lib") / "app.jar");
}

TEST(IncludedNames, RefusesNamesThatLeaveTheDirectoryOrBreakTheList) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "empty"},
        {"\\app.jar", "absolute"},
        {"/etc/passwd", "absolute"},
        {"C:app.jar", "':'"},
        {"C:\\x\\app.jar", "':'"},
        {"..\\app.jar", "'..'"},
        {"lib/../../x", "more than one"},
        {"lib\\..", "'..'"},
        {"a;b.jar", "';'"},
        {"a\\b\\c.jar", "more than one directory level"},
        {"lib\\", "empty path component"},
        {"lib\\\\x", "more than one"},
        {"what?.jar", "character"},
        {"dot.", "ends with"},
    };
    for (const auto& [name, reason] : cases) {
        try {
            normaliseIncludedName(name);
            ADD_FAILURE() << name << " accepted";
        } catch (const SettingError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << name << ": " << e.what();
        }
    }
}

}  // namespace
}  // namespace kestro::tool
