// The launcher stub as a file: what it is, what it imports, and that a signature added
// after building does not hide the block.
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

TEST_F(StubImage, SignedLauncherStillReadsItsBlock) {
    set(key::WorkingDirectory, ".");
    fs::path exe = buildLauncher("unsigned.exe");
    fs::path key = dir_ / "key.pem", cert = dir_ / "cert.pem", signedExe = dir_ / "signed.exe";
    std::string quiet = " >/dev/null 2>&1";
    ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=kestro-test -keyout " +
                           key.string() + " -out " + cert.string() + quiet).c_str()),
              0);
    ASSERT_EQ(std::system(("osslsigncode sign -certs " + cert.string() + " -key " + key.string() + " -in " +
                           exe.string() + " -out " + signedExe.string() + quiet).c_str()),
              0);
    ASSERT_GT(fs::file_size(signedExe), fs::file_size(exe));

    RunResult r = run(signedExe);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("change working directory to " + windowsPath(dir_))) << r.trace;
}

}  // namespace
}  // namespace kestro::e2e
