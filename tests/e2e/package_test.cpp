// kestro package end to end: a package built and signed by the tool, installed, used,
// upgraded and removed by Wine's msiexec in a prefix of the test's own (installing writes
// the prefix's registry and Start menu, which the other tests share otherwise).
#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "harness.h"
#include "tool/commands/commands.h"

namespace kestro::e2e {
namespace {

constexpr const char* kPasswordVariable = "KESTRO_TEST_SIGNING_PASSWORD";

// A fresh Wine prefix, its server stopped and the prefix removed afterwards. Wine's menu
// builder is off, so that installed shortcuts stay inside the prefix.
struct OwnPrefix {
    fs::path path;
    std::string env() const {
        return "env WINEPREFIX='" + path.string() +
               "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' ";
    }
    int script(const std::string& action) const {
        fs::path tool = sourceDir() / "scripts" / "wine-prefix.sh";
        return std::system(("'" + tool.string() + "' " + action + " '" + path.string() + "' >/dev/null 2>&1").c_str());
    }
    int wine(const std::string& arguments) const {
        return std::system((env() + "/usr/lib/wine/wine64 " + arguments + " </dev/null >/dev/null 2>&1").c_str());
    }
    std::string query(const std::string& key, const std::string& options = "") const {
        return capture(env() + "/usr/lib/wine/wine64 reg query '" + key + "' " + options + " </dev/null 2>/dev/null");
    }
    bool exists(const std::string& key) const {
        return std::system((env() + "/usr/lib/wine/wine64 reg query '" + key + "' </dev/null >/dev/null 2>&1").c_str()) == 0;
    }
    ~OwnPrefix() {
        script("down");
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

class Package : public LauncherTest {
protected:
    // Writes the configuration of version `version` with the files given and packages it.
    fs::path package(const std::string& version, const std::string& files) {
        fs::path config = writeBytes(dir_ / ("app-" + version + ".toml"), R"(
build.include_runtime_library = false
application.main_class = "com.example.Hello"

[package]
name = "Hello Test"
manufacturer = "Kestro Tests"
version = ")" + version + R"("
upgrade_code = "0d6c9f6e-3c1b-4f39-8f0e-3b8d7a1c2e45"
scope = "per-user"
runtime = "win-jre"
)" + files + R"(
[[package.file_associations]]
extension = "kesttest"
description = "Kestro test document"

[signing]
certificate = "cert.p12"
password_variable = ")" + kPasswordVariable + "\"\n");
        fs::path msi = dir_ / version / "HelloTest.msi";
        std::ostringstream out, err;
        tool::packageApplication({.config = config, .output = msi, .stub = stubPath()}, out, err);
        EXPECT_TRUE(fs::exists(msi)) << err.str();
        return msi;
    }

    // What `osslsigncode verify` says of a file signed with the test's certificate.
    bool verifies(const fs::path& file) {
        std::string said = capture("osslsigncode verify -CAfile '" + (dir_ / "cert.pem").string() + "' -in '" +
                                   file.string() + "' 2>&1; echo exit $?");
        EXPECT_NE(said.find("Signature verification: ok"), std::string::npos) << said;
        return said.find("exit 0") != std::string::npos;
    }

    // Entries of the uninstall lists of both hives that name the product.
    int uninstallEntries(const OwnPrefix& prefix) {
        int count = 0;
        for (const char* hive : {"HKLM", "HKCU"}) {
            std::string list = prefix.query(std::string(hive) + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "/s");
            for (size_t at = 0; (at = list.find("REG_SZ    Hello Test\r\n", at)) != std::string::npos; ++at) ++count;
        }
        return count;
    }
};

TEST_F(Package, InstallsOpensDocumentsUpgradesAndUninstallsWithoutATrace) {
    OwnPrefix prefix{dir_ / "wineprefix"};
    ASSERT_EQ(prefix.script("up"), 0);
    layOut("win-jre");
    writeBytes(dir_ / "greeting.jar", "greeting");
    writeBytes(dir_ / "extra.txt", "extra");
    // A self-signed certificate in a PKCS#12 file, its password only in the environment.
    std::string quiet = " >/dev/null 2>&1";
    ASSERT_EQ(std::system(("cd '" + dir_.string() + "' && openssl req -x509 -newkey rsa:2048 -nodes -days 1 "
                           "-subj /CN=kestro-package-test -keyout key.pem -out cert.pem" + quiet +
                           " && openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout pass:s3cret" +
                           quiet).c_str()),
              0);
    setenv(kPasswordVariable, "s3cret", 1);

    fs::path v1 = package("1.0.0", "[[package.files]]\nsource = \"greeting.jar\"\ntarget = \"lib/greeting.jar\"\n");
    EXPECT_TRUE(verifies(v1));
    ASSERT_EQ(prefix.wine("msiexec /i '" + windowsPath(v1) + "' /qn"), 0);

    fs::path users = prefix.path / "drive_c" / "users";
    fs::path user = fs::directory_iterator(users)->path();  // the prefix's one user beside Public
    if (user.filename() == "Public") user = std::next(fs::directory_iterator(users))->path();
    fs::path installed = user / "AppData/Local/Programs/Hello Test";
    fs::path shortcut = user / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Hello Test.lnk";
    for (const char* file : {"HelloTest.exe", "lib/greeting.jar", "jre/bin/java.exe", "jre/bin/server/jvm.dll"})
        EXPECT_TRUE(fs::is_regular_file(installed / file)) << file;
    EXPECT_TRUE(fs::is_regular_file(shortcut));
    EXPECT_TRUE(verifies(installed / "HelloTest.exe")) << "the launcher is signed before it goes in";

    // The association's command, run as Explorer runs it for a document.
    std::string value = prefix.query("HKCU\\Software\\Classes\\HelloTest.kesttest\\shell\\open\\command", "/ve");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(value, m, std::regex("REG_SZ +(.*)\r?\n"))) << value;
    std::string command = m[1];
    std::string exeText = "C:\\users\\" + user.filename().string() + "\\AppData\\Local\\Programs\\Hello Test\\HelloTest.exe";
    EXPECT_EQ(command, "\"" + exeText + "\" \"%1\"");
    EXPECT_NE(prefix.query("HKCU\\Software\\Classes\\.kesttest", "/ve").find("HelloTest.kesttest"), std::string::npos);
    fs::path document = writeBytes(dir_ / "my letter.kesttest", "hello");
    std::string line = std::regex_replace(command, std::regex("%1"), windowsPath(document));
    RunResult r = run(installed / "HelloTest.exe",
                      {.commandLine = line, .unixEnv = {{"WINEPREFIX", prefix.path.string()}}, .trace = false});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    layout::VmTranscript t = jvmTranscript(installed / "jre");
    ASSERT_FALSE(t.values("argument ").empty()) << t.text();
    EXPECT_EQ(t.values("argument ").back(), windowsPath(document)) << t.text();
    // The signed launcher read its configuration: the main class it hands over is the file's.
    std::vector<std::string> arguments = t.values("argument ");
    EXPECT_NE(std::ranges::find(arguments, "com.example.Hello"), arguments.end()) << t.text();
    // What the stand-in runtime recorded (the VM's transcript, the version probe's runs)
    // are files of the application's run, not of the package.
    fs::remove(vmLibraryOf(installed / "jre").string() + ".transcript");
    fs::remove(installed / "jre/bin/java.exe.runs");

    // A newer version replaces the older: its file is gone, one product is listed.
    fs::path v2 = package("1.1.0", "[[package.files]]\nsource = \"extra.txt\"\ntarget = \"lib/extra.txt\"\n");
    ASSERT_EQ(prefix.wine("msiexec /i '" + windowsPath(v2) + "' /qn"), 0);
    EXPECT_FALSE(fs::exists(installed / "lib/greeting.jar"));
    EXPECT_TRUE(fs::is_regular_file(installed / "lib/extra.txt"));
    EXPECT_TRUE(fs::is_regular_file(shortcut));
    EXPECT_EQ(uninstallEntries(prefix), 1);
    std::string lists = prefix.query("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "/s") +
                        prefix.query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "/s");
    EXPECT_NE(lists.find("DisplayVersion    REG_SZ    1.1.0"), std::string::npos) << lists;

    ASSERT_EQ(prefix.wine("msiexec /x '" + windowsPath(v2) + "' /qn"), 0);
    std::string left;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(installed, ec), end; !ec && it != end; it.increment(ec))
        left += it->path().string() + "\n";
    EXPECT_FALSE(fs::exists(installed)) << "left behind in the installation folder:\n" << left;
    EXPECT_FALSE(fs::exists(shortcut));
    EXPECT_TRUE(fs::exists(installed.parent_path()));
    EXPECT_FALSE(prefix.exists("HKCU\\Software\\Classes\\HelloTest.kesttest"));
    EXPECT_FALSE(prefix.exists("HKCU\\Software\\Classes\\.kesttest"));
    EXPECT_FALSE(prefix.exists("HKCU\\Software\\Kestro Tests"));
    EXPECT_EQ(uninstallEntries(prefix), 0);
}

}  // namespace
}  // namespace kestro::e2e
