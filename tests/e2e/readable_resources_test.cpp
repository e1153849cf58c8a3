// A launcher's resources as programs other than ours read them: Windows itself (version
// texts, icon, splash image and manifest through the Windows API, and the manifest when
// the launcher starts), wrestool, and an XML parser.
#include <sstream>

#include "harness.h"
#include "tool/commands/commands.h"

namespace kestro::e2e {
namespace {

using ReadableResources = LauncherTest;

std::string sampleIcon() { return readBytes(fs::path(KESTRO_SOURCE_DIR) / "tests" / "data" / "sample.ico"); }

// Builds `name` from `toml` with the kestro tool, as `kestro build` would.
fs::path buildWithTool(const fs::path& dir, const std::string& toml, const std::string& name) {
    fs::path config = writeBytes(dir / (name + ".toml"), toml);
    std::ostringstream out, err;
    tool::buildLauncher({.config = config, .output = dir / name, .stub = stubPath(), .quiet = true}, out, err);
    return dir / name;
}

std::map<std::string, std::string> reportOf(const fs::path& text) {
    std::map<std::string, std::string> lines;
    std::istringstream in(readBytes(text));
    for (std::string line; std::getline(in, line);)
        if (auto eq = line.find('='); eq != std::string::npos) lines[line.substr(0, eq)] = line.substr(eq + 1);
    return lines;
}

TEST_F(ReadableResources, WindowsAndWrestoolReadWhatWasConfigured) {
    writeBytes(dir_ / "app.ico", sampleIcon());
    std::string splash = "BM" + everyByteValue(3000);
    writeBytes(dir_ / "splash.bmp", splash);
    fs::path exe = buildWithTool(dir_, R"(
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

    fs::path report = dir_ / "report.txt";
    RunResult r = runWindowsProgram(fixturesDir() / "resource_reader.exe",
                                    {.arguments = "\"" + windowsPath(exe) + "\" \"" + windowsPath(report) + "\"",
                                     .trace = false},
                                    dir_);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto got = reportOf(report);
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
    uint32_t sum = 0;
    for (unsigned char c : splash) sum = sum * 31 + c;
    EXPECT_EQ(got["splash"], std::to_string(splash.size()) + " bytes, sum " + std::to_string(sum));
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

// Windows reads the manifest before the launcher's first instruction: a launcher that
// carries one still starts, reads its block and searches for a runtime.
TEST_F(ReadableResources, ALauncherWithAManifestStarts) {
    writeBytes(dir_ / "app.ico", sampleIcon());
    fs::path exe = buildWithTool(dir_, R"(
build.include_runtime_library = false
application.main_class = "com.example.Main"
icon.file = "app.ico"
)", "plain.exe");
    RunResult r = run(exe, {.arguments = "-q_vlm_internal"});
    EXPECT_EQ(r.exitCode, 83) << r.err;
    EXPECT_TRUE(r.traced("ERROR: No JVM found")) << r.trace;
}

}  // namespace
}  // namespace kestro::e2e
