// A launcher's resources as programs that are not ours read them: Windows itself (version
// texts, icon, splash image and manifest through the Windows API, and the manifest when
// the launcher starts) and an XML parser; and a code signature over the whole file,
// behind which the launcher still finds its block and shows its splash.
#include <sstream>

#include "harness.h"
#include "tool/commands/commands.h"

namespace kestro::e2e {
namespace {

std::string sampleIcon() { return readBytes(sourceDir() / "tests" / "data" / "sample.ico"); }

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

    // The "name=value" lines resource_reader writes for `exe`, and beside them the bytes of
    // the splash image and the manifest as "splash" and "manifest" (tests/fixtures/resource_reader.cpp).
    std::map<std::string, std::string> readerReport(const fs::path& exe) {
        fs::path report = dir_ / (exe.filename().string() + ".report");
        RunOptions options{.arguments = "\"" + windowsPath(exe) + "\" \"" + windowsPath(report) + "\""};
        RunResult r = BackgroundRun(fixturesDir() / "resource_reader.exe", options, dir_).wait();
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        std::map<std::string, std::string> lines;
        std::istringstream in(readBytes(report));
        for (std::string line; std::getline(in, line);)
            if (auto eq = line.find('='); eq != std::string::npos) lines[line.substr(0, eq)] = line.substr(eq + 1);
        for (std::string name : {"splash", "manifest"}) lines[name] = readBytes(report.string() + "." + name);
        return lines;
    }
};

TEST_F(Resources, WindowsReadsWhatWasConfigured) {
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
    const std::map<std::string, std::string> expected{
        {"fixed.file", "2.4.1.0"}, {"fixed.product", "2.4.1.0"}, {"fixed.os", std::to_string(0x40004)},
        {"fixed.type", "1"}, {"translation", "040904b0"}, {"CompanyName", "Example Ltd"},
        {"FileDescription", "Démo application"}, {"FileVersion", "2.4.1"}, {"InternalName", "Demo App"},
        {"LegalCopyright", "© 2026 Example Ltd"}, {"OriginalFilename", "Demo App.exe"}, {"ProductName", "Demo App"},
        {"ProductVersion", "2.4.1"}, {"icon.16", "id 1, 16x16"}, {"icon.32", "id 2, 32x32"}, {"splash", splash}};
    for (const auto& [name, value] : expected) EXPECT_TRUE(got[name] == value) << name << ": " << got[name];
    fs::path manifest = writeBytes(dir_ / "extracted.manifest", got["manifest"]);
    EXPECT_EQ(capture("python3 -c 'import sys, xml.dom.minidom as m; "
                      "print(m.parse(sys.argv[1]).getElementsByTagName(\"requestedExecutionLevel\")[0]"
                      ".getAttribute(\"level\"))' '" + manifest.string() + "'"),
              "highestAvailable\n");
}

// A PNG image as icon.file becomes an icon of that one image, stored as PNG: Windows picks
// it for each size and loads it.
TEST_F(Resources, APngImageIsAnIconThatWindowsLoads) {
    writeBytes(dir_ / "app.png", sampleIcon().substr(1166));  // the sample's 32x32 PNG image
    fs::path exe = buildWithTool("build.include_runtime_library = false\napplication.main_class = \"a.B\"\n"
                                 "icon.file = \"app.png\"\n", "Png.exe");
    auto got = readerReport(exe);
    EXPECT_EQ(got["icon.32"], "id 1, 32x32");
    EXPECT_EQ(got["icon.16"], "id 1, 16x16");
}

// Signing adds a certificate table behind the block; the signature covers the resource
// section and the block, and neither hides the other. Windows reads the manifest before
// the launcher's first instruction: the launcher still starts, finds its block and shows
// its splash image.
TEST_F(Resources, ASignedLauncherVerifiesStartsAndShowsItsSplash) {
    fs::path home = layOut("jre", {.vmLibraries = {"bin/server/jvm.dll"}, .splashLibrary = "splashscreen.dll"});
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
    EXPECT_TRUE(readerReport(signedExe)["splash"] == splash);

    RunResult r = run(signedExe);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("change working directory to " + windowsPath(dir_))) << r.trace;
    EXPECT_TRUE(
        jvmTranscript(home).has("CallStaticVoidMethod com/kestro/runtime/WinLauncher main ([Ljava/lang/String;)V"));
    EXPECT_TRUE(readBytes(home / "bin" / "splashscreen.dll.image") == splash) << splashTranscript(home).text();
}

}  // namespace
}  // namespace kestro::e2e
