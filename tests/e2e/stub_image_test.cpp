// The launcher stub as a file: what it is and what it imports. (A signed launcher is
// shown with its resources in resources_test.cpp.)
#include "harness.h"

#include <regex>
#include <set>

namespace kestro::e2e {
namespace {

using StubImage = LauncherTest;

TEST_F(StubImage, IsAGuiPe32PlusImportingOnlySystemDlls) {
    std::string headers = capture("x86_64-w64-mingw32-objdump -p " + stubPath().string());
    EXPECT_NE(headers.find("Magic\t\t\t020b\t(PE32+)"), std::string::npos);
    EXPECT_NE(headers.find("Subsystem\t\t00000002\t(Windows GUI)"), std::string::npos);

    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "advapi32.dll", "comctl32.dll", "msvcrt.dll"};
    std::regex dll("DLL Name: (\\S+)");
    int imports = 0;
    for (std::sregex_iterator it(headers.begin(), headers.end(), dll), end; it != end; ++it, ++imports) {
        std::string name = (*it)[1];
        for (char& c : name) c = char(std::tolower(c));
        EXPECT_TRUE(allowed.count(name)) << name;
    }
    EXPECT_GT(imports, 0);
}

}  // namespace
}  // namespace kestro::e2e
