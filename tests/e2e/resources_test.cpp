// A launcher's resources as programs that are not ours read them: Windows itself (version
// texts, icon, splash image and manifest through the Windows API, and the manifest when
// the launcher starts), wrestool and an XML parser; and a code signature over the whole
// file, behind which the launcher still finds its block and shows its splash.
#include <sstream>

#include "harness.h"
#include "tool/commands/commands.h"

namespace kestro::e2e {
namespace {

std::string sampleIcon() { return readBytes(fs::path(KESTRO_SOURCE_DIR) / "tests" / "data" / "sample.ico"); }

// What resource_reader reports of a resource with these bytes.
std::string readerLine(const std::string& bytes) {
    uint32_t sum = 0;
    for (unsigned char c : bytes) sum = sum * 31 + c;
    return std::to_string(bytes.size()) + " bytes, sum " + std::to_string(sum);
}

class Resources : public LauncherTest {
protected:
    // Builds `name` from `toml` with the kestro tool, as `kestro build` would.
    fs::path buildWithTool(const std::string& toml, const std::string& name) {
        fs::path config = writeBytes(dir_ / (name + ".toml"), toml);
        std::ostringstream out, err;
        tool::buildLauncher({.config = config, .output = dir_ / name, .stub = stubPath(), .quiet = true}, out, err);
        EXPECT_TRUE(fs::exists(dir_ / name)) << err.str();
        return dir_ / name;
    }

    // The "name=value" lines resource_reader writes for `exe` (tests/fixtures/resource_reader.cpp).
    std::map<std::string, std::string> readerReport(const fs::path& exe) {
        fs::path report = dir_ / (exe.filename().string() + ".report");
        RunResult r = runWindowsProgram(fixturesDir() / "resource_reader.exe",
                                        {.arguments = "\"" + windowsPath(exe) + "\" \"" + windowsPath(report) + "\""},
                                        dir_);
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        std::map<std::string, std::string> lines;
        std::istringstream in(readBytes(report));
        for (std::string line; std::getline(in, line);)
            if (auto eq = line.find('='); eq != std::string::npos) lines[line.substr(0, eq)] = line.substr(eq + 1);
        return lines;
    }
};

TEST_F(Resources, WindowsAndWrestoolReadWhatWasConfigured) {
    writeBytes(dir_ / "app.ico", sampleIcon());
    std::string splash = "BM" + everyByteValue(3000);
    writeBytes(dir_ / "splash.bmp", splash);
    fs::path exe = buildWithTool(R"(
build.include_runtime_library = false
application.main_class = "com.example.Main"
splash.image = "splash.bmp"
icon.file = "app.ico"

[version]
file_version = "2.4.1"
company = "Example Ltd"
copyright = "© 2026 Example Ltd"
description = "Démo application"

[manifest]
execution_level = "highestAvailable"
)", "Demo App.exe");

    auto got = readerReport(exe);
    EXPECT_EQ(got["fixed.file"], "2.4.1.0");
    EXPECT_EQ(got["fixed.product"], "2.4.1.0");
    EXPECT_EQ(got["fixed.os"], std::to_string(0x40004));
    EXPECT_EQ(got["fixed.type"], "1");
    EXPECT_EQ(got["translation"], "040904b0");
    EXPECT_EQ(got["CompanyName"], "Example Ltd");
    EXPECT_EQ(got["FileDescription"], "Démo application");
    EXPECT_EQ(got["FileVersion"], "2.4.1");
    EXPECT_EQ(got["InternalName"], "Demo App");
    EXPECT_EQ(got["LegalCopyright"], "© 2026 Example Ltd");
    EXPECT_EQ(got["OriginalFilename"], "Demo App.exe");
    EXPECT_EQ(got["ProductName"], "Demo App");
    EXPECT_EQ(got["ProductVersion"], "2.4.1");
    EXPECT_EQ(got["icon.images"], "2");
    EXPECT_EQ(got["icon.16"], "id 1, 16x16");  // the bitmap image
    EXPECT_EQ(got["icon.32"], "id 2, 32x32");  // the PNG image
    EXPECT_EQ(got["icon.loadimage"], "ok");
    EXPECT_EQ(got["splash"], readerLine(splash));
    EXPECT_TRUE(got["manifest"].find(" bytes, sum ") != std::string::npos) << got["manifest"];

    // wrestool puts the icon file back together from the group and its images.
    auto wrestool = [&](const std::string& options, const std::string& name) {
        fs::path file = dir_ / name;
        std::string command = "wrestool -x " + options + " '" + exe.string() + "' > '" + file.string() + "'";
        int status = std::system(command.c_str());
        EXPECT_EQ(status, 0) << options;
        return file;
    };
    // It sizes its output as the group's bytes plus the icon file's and leaves the
    // group's 34 bytes of the end unwritten; the icon file is what precedes them.
    std::string ico = readBytes(wrestool("-t 14", "extracted.ico"));
    EXPECT_EQ(ico.size(), sampleIcon().size() + 6 + 2 * 14);
    EXPECT_TRUE(ico.substr(0, sampleIcon().size()) == sampleIcon());
    EXPECT_TRUE(readBytes(wrestool("--raw -t 10 -n 10000", "extracted.bmp")) == splash);
    fs::path manifest = wrestool("--raw -t 24 -n 1", "extracted.manifest");
    EXPECT_EQ(capture("python3 -c 'import sys, xml.dom.minidom as m; "
                      "print(m.parse(sys.argv[1]).getElementsByTagName(\"requestedExecutionLevel\")[0]"
                      ".getAttribute(\"level\"))' '" + manifest.string() + "'"),
              "highestAvailable\n");
}

// Signing adds a certificate table behind the block; the signature covers the resource
// section and the block, and neither hides the other. Windows reads the manifest before
// the launcher's first instruction: the launcher still starts, finds its block and shows
// its splash image.
TEST_F(Resources, ASignedLauncherVerifiesStartsAndShowsItsSplash) {
    layout::RuntimeLayout runtime = loadable();
    runtime.splashLibrary = "splashscreen.dll";
    fs::path home = layOut("jre", runtime);
    const std::string splash = "BM" + everyByteValue(70001);
    writeBytes(dir_ / "splash.bmp", splash);
    fs::path exe = buildWithTool(R"(
build.include_runtime_library = false
application.main_class = "com.example.Main"
application.working_directory = "."
java.search_order = [{ relative_directory = "jre" }]
splash.image = "splash.bmp"
)", "unsigned.exe");
    fs::path key = dir_ / "key.pem", cert = dir_ / "cert.pem", signedExe = dir_ / "signed.exe";
    std::string quiet = " >/dev/null 2>&1";
    ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=kestro-test -keyout " +
                           key.string() + " -out " + cert.string() + quiet).c_str()),
              0);
    ASSERT_EQ(std::system(("osslsigncode sign -certs " + cert.string() + " -key " + key.string() + " -in " +
                           exe.string() + " -out " + signedExe.string() + quiet).c_str()),
              0);
    std::string verified = capture("osslsigncode verify -CAfile " + cert.string() + " -in " + signedExe.string() +
                                   " 2>&1; echo exit $?");
    EXPECT_NE(verified.find("Signature verification: ok"), std::string::npos) << verified;
    EXPECT_NE(verified.find("exit 0"), std::string::npos) << verified;
    EXPECT_EQ(readerReport(signedExe)["splash"], readerLine(splash));

    RunResult r = run(signedExe);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("change working directory to " + windowsPath(dir_))) << r.trace;
    EXPECT_TRUE(
        jvmTranscript(home).has("CallStaticVoidMethod com/kestro/runtime/WinLauncher main ([Ljava/lang/String;)V"));
    std::vector<std::string> shown = splashTranscript(home).values("SplashLoadMemory size ");
    ASSERT_EQ(shown.size(), 1u) << splashTranscript(home).text();
    EXPECT_TRUE(shown[0].starts_with(std::to_string(splash.size()) + " ")) << shown[0];
}

}  // namespace
}  // namespace kestro::e2e
