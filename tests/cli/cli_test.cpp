// Tests of the kestro program itself: exit codes, messages, the files it writes or leaves
// alone, and round trips through inspect --toml. The rules behind the messages are the
// unit tests'.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include "../unit/tool/tool_test_support.h"

namespace kestro::tool {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// Every kind of content a block can hold, with included files at the top of the
// temporary directory and one level down.
const char* kFullConfig = R"(
java.search_order = [{ relative_directory = ".\\jre" }, { variable = "MYAPP_JAVA" }, "registry", "search-path"]
java.min_version = "1.8"
vm.options = ["-Xmx512m", "-Dgreeting=Grüße aus Köln"]
classpath.entries = [{ archive = ".\\.velmora\\user.jar", mandatory = false }, { scan = "lib" }]
messages.caption = "Fehler"
keys.101 = "kept as is"
wide.5000 = "Hello ☃"
locale = [{ prefix = "de", wide = { 5000 = "Grüß Gott 𝄞" } }]
files = [{ source = "input/app.jar", name = "lib/app.jar" }, { source = "input/readme.txt" }]
resources = [{ type = 10, id = 10000, file = "input/splash.png" },
             { type = 777, id = 3, language = 1031, file = "input/readme.txt" }]
[application]
main_class = "com.example.Main"
type = "gui"
arguments = ["--mode", "fast lane", "it's"]
flavour = "velmora"
)";

// The suite runs against the Linux tool, and again against kestro.exe under Wine with
// KESTRO_CLI_WINDOWS set.
bool windows() { return std::getenv("KESTRO_CLI_WINDOWS") != nullptr; }
fs::path toolPath() { return fs::path(KESTRO_TOOL_DIR) / (windows() ? "kestro.exe" : "kestro"); }

// A relative path as the tool shows it: Windows writes its own separator.
std::string native(std::string path) {
    if (windows()) std::ranges::replace(path, '/', '\\');
    return path;
}
// An absolute path as the tool shows it: Wine reaches the Linux root as drive Z:.
std::string shown(const fs::path& path) { return windows() ? "Z:" + native(path.string()) : path.string(); }

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string jar(200000, '\0');
        std::generate(jar.begin(), jar.end(), [n = 0u]() mutable { return char((n++ * 7919u) >> 3); });
        writeFile(ws_ / "input/app.jar", jar);
        writeFile(ws_ / "input/readme.txt", "read me\n");
        writeFile(ws_ / "input/splash.png", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11));
        writeFile(ws_ / "app.toml", kFullConfig);
    }

    struct Run {
        int exitCode;
        std::string out, err;
    };

    // Runs the tool under test in the workspace.
    Run kestro(const std::vector<std::string>& args) { return run(toolPath(), args); }

    // A copy of the tool (Windows: under Wine, which the test's environment sets up,
    // without a display).
    Run run(const fs::path& program, const std::vector<std::string>& args) {
        std::string command = "cd '" + ws_.path.string() + "' && " +
                              (windows() ? "DISPLAY= /usr/lib/wine/wine64 " : "") + "'" + program.string() + "'";
        for (const auto& a : args) command += " '" + a + "'";
        for (int attempt = 1;; ++attempt) {
            int status = std::system((command + " >.out 2>.err").c_str());
            Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(ws_ / ".out"), wineless(readFile(ws_ / ".err"))};
            fs::remove(ws_ / ".out"), fs::remove(ws_ / ".err");
            // Wine now and then fails to set up a new process when others start beside it.
            if (run.err.find("failed to map the shared user data") == std::string::npos || attempt == 3) return run;
        }
    }

    // Standard error without the lines Wine itself writes ("0054:err:winediag:...").
    static std::string wineless(const std::string& err) {
        std::istringstream in(err);
        std::string kept;
        for (std::string line; std::getline(in, line);)
            if (!windows() || !std::regex_search(line, std::regex("^[0-9a-f]{4}:(err|fixme):"))) kept += line + "\n";
        return kept;
    }

    std::set<fs::path> listing() const { return {fs::directory_iterator(ws_.path), {}}; }

    test::TempDir ws_;
};

uint16_t subsystemOf(const std::string& image) {
    uint32_t pe = uint8_t(image[60]) | uint8_t(image[61]) << 8;
    return uint8_t(image[pe + 24 + 68]);
}

// Printed with the files --extract writes, a launcher's configuration builds the same
// launcher again: over the first one (whose block and resources are replaced, not
// stacked) or from the stub, and under another name where the printed settings carry
// what the name gave.
TEST_F(Cli, PrintedConfigurationsRebuildIdenticalLaunchers) {
    writeFile(ws_ / "art/app.ico", readFile(KESTRO_SOURCE_DIR "/tests/data/sample.ico"));
    writeFile(ws_ / "art/splash.gif", "GIF89a and the rest");
    struct Case {
        std::string config;
        bool overFirst;
        std::string secondName;
        uint16_t subsystem;
    };
    const std::vector<Case> cases{
        {kFullConfig, true, "Again.exe", 2},
        {R"(
application = { main_class = "a.B", arguments = ["--profile", "two words"], directory = "app", type = "console" }
vm.options_from_command_line = true
vm.options = ["-Xmx1g", "-include-options", "${launcher:sys.launcherDirectory}site.vmoptions", "-classpath/a x.jar"]
classpath.entries = [{ archive = "lib\\app.jar" }, { directory = "classes", mandatory = false },
                     { variable = "EXTRA_CP" }, { scan = "plugins", mandatory = false }]
redirect = { stderr = true, stderr_file = "$APP_ERRORS", stdout = true, append = true }
instance.single = true
files = [{ source = "input/app.jar", name = "user/app.jar" }]
)",
         false, "Again.exe", 3},
        {R"(
build = { include_runtime_library = false, subsystem = "gui" }
application = { main_class = "com.example.Main", type = "console" }
splash.image = "art/splash.gif"
icon.file = "art/app.ico"
resources = [{ type = 777, id = 3, file = "input/readme.txt" }]
version = { file_version = "3.1.4", company = "Example Ltd", copyright = "© 2026 Example Ltd" }
manifest = { execution_level = "requireAdministrator", long_path_aware = false }
)",
         true, "Other.exe", 2},
        // The settings teams bring from other launchers.
        {R"(
application = { main_module = "com.example.app/com.example.app.Main", module_path = ["mods", "lib/app.jar"], restart_exit_codes = [42, 3] }
files = [{ source = "input/app.jar", name = "lib/app.jar" }]
java = { max_heap_percent = 50, initial_heap_percent = 10, max_heap_limit_mb = 4096, download_url = "https://example.com/java" }
[environment]
PATH = "%PATH%;${launcher:sys.launcherDirectory}bin"
APP_HOME = "${launcher:sys.launcherDirectory}"
)",
         false, "Again.exe", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        fs::remove_all(ws_ / "extracted");
        writeFile(ws_ / "app.toml", c.config);
        auto first = kestro({"build", "app.toml", "-o", "Demo.exe"});
        ASSERT_EQ(first.exitCode, 0) << first.err;
        std::string image = readFile(ws_ / "Demo.exe");
        EXPECT_EQ(subsystemOf(image), c.subsystem);
        auto printed = kestro({"inspect", "Demo.exe", "--toml", "--extract", "extracted"});
        ASSERT_EQ(printed.exitCode, 0) << printed.err;
        EXPECT_EQ(printed.err, "");  // nothing the printed configuration would lose
        EXPECT_EQ(printed.out.find(ws_.path.string()), std::string::npos) << printed.out;  // movable with the files
        writeFile(ws_ / "again.toml", printed.out);
        std::vector<std::string> args{"build", "again.toml", "-o", c.secondName};
        if (c.overFirst) args.insert(args.end(), {"--stub", "Demo.exe"});
        auto second = kestro(args);
        ASSERT_EQ(second.exitCode, 0) << second.err;
        EXPECT_EQ(second.err, "");
        EXPECT_TRUE(readFile(ws_ / c.secondName) == image) << printed.out;
    }
}

// The Windows tool writes the same bytes as the Linux tool, whatever the input: non-ASCII
// names in the configuration, on the command line, as output and as included files, a
// large included file, and a build over an existing launcher.
TEST_F(Cli, BothToolsWriteTheSameLaunchers) {
    if (!windows()) GTEST_SKIP() << "compares kestro.exe with the Linux tool";
    writeFile(ws_ / "art/app.ico", readFile(KESTRO_SOURCE_DIR "/tests/data/sample.ico"));
    writeFile(ws_ / "hello.jar", "PK hello");
    writeFile(ws_ / "hello.toml", readFile(KESTRO_SOURCE_DIR "/examples/hello/hello.toml"));
    writeFile(ws_ / "Ärger/daten/grüße.txt", "Grüße\n");
    writeFile(ws_ / "Ärger/größe.toml", "application.main_class = \"Größe\"\nvm.options = \"-Dgruß=süß\"\n"
                                      "files = [{ source = \"daten/grüße.txt\", name = \"daten/grüße.txt\" }]\n");
    std::string large(9 << 20, '\0');
    std::generate(large.begin(), large.end(), [n = 0u]() mutable { return char((n++ * 2654435761u) >> 24); });
    writeFile(ws_ / "input/large.bin", large);
    writeFile(ws_ / "large.toml", "application.main_class = \"a.B\"\nfiles = [{ source = \"input/large.bin\" }]\n");
    writeFile(ws_ / "resources.toml", "application.main_class = \"a.B\"\nicon.file = \"art/app.ico\"\n"
                                      "splash.image = \"input/splash.png\"\nversion.company = \"Ünïcode\"\n"
                                      "manifest.execution_level = \"highestAvailable\"\n");
    const fs::path linuxTool = fs::path(KESTRO_TOOL_DIR) / "kestro";
    struct Case {
        std::string config, output;
        bool overExisting;
    };
    for (const Case& c : {Case{"hello.toml", "hello.exe", false}, Case{"app.toml", "App.exe", false},
                          Case{"resources.toml", "Res.exe", false}, Case{"Ärger/größe.toml", "Grüße.exe", false},
                          Case{"large.toml", "Large.exe", false}, Case{"app.toml", "App.exe", true}}) {
        SCOPED_TRACE(c.config);
        auto args = [&](const std::string& dir) {
            fs::create_directories(ws_ / dir);
            std::vector<std::string> out{"build", c.config, "-o", dir + "/" + c.output, "-q"};
            if (c.overExisting) out.insert(out.end(), {"--stub", dir + "/" + c.output});
            return out;
        };
        auto onLinux = run(linuxTool, args("linux"));
        auto onWindows = kestro(args("windows"));
        ASSERT_EQ(onLinux.exitCode, 0) << onLinux.err;
        ASSERT_EQ(onWindows.exitCode, 0) << onWindows.err;
        EXPECT_EQ(onWindows.err, onLinux.err);
        EXPECT_TRUE(readFile(ws_ / "windows" / c.output) == readFile(ws_ / "linux" / c.output));
    }
}

// The kestro flavour's launcher class travels inside every kestro launcher, taken from
// beside the tool.
TEST_F(Cli, KestroLaunchersCarryTheRuntimeLibraryFromBesideTheTool) {
    writeFile(ws_ / "app.toml", "application.main_class = \"a.B\"\n");
    ASSERT_EQ(kestro({"build", "app.toml", "-o", "App.exe", "-q"}).exitCode, 0);
    ASSERT_EQ(kestro({"inspect", "App.exe", "--extract", "out"}).exitCode, 0);
    EXPECT_TRUE(readFile(ws_ / "out/kestro-runtime.jar") == readFile(fs::path(KESTRO_TOOL_DIR) / "kestro-runtime.jar"));

    // A kestro installed without its runtime library says where it looked, and builds nothing.
    fs::create_directories(ws_ / "bin");
    fs::copy_file(toolPath(), ws_ / "bin" / toolPath().filename());
    fs::copy_file(KESTRO_STUB, ws_ / "bin/launcher.exe");
    auto missing = run(ws_ / "bin" / toolPath().filename(), {"build", "app.toml", "-o", "New.exe"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "app.toml: the Java runtime library that kestro build includes in kestro launchers is "
                           "missing (looked for " + shown(ws_ / "bin/kestro-runtime.jar") +
                               "); set build.include_runtime_library = false if the application ships it itself\n");
    EXPECT_FALSE(fs::exists(ws_ / "New.exe"));

    // The help points at the reference installed beside the tool.
    writeFile(ws_ / "bin/docs/configuration.md", "# Configuration reference\n");
    auto help = run(ws_ / "bin" / toolPath().filename(), {"--help"});
    EXPECT_NE(help.out.find(" described in " + shown(ws_ / "bin/docs/configuration.md") + "\n"), std::string::npos)
        << help.out;
}

// Velmora launchers load vlmruntime.jar from below the application directory.
TEST_F(Cli, VelmoraRuntimeLibraryIsWrittenWhereTheLauncherLooksOnRequest) {
    writeFile(ws_ / "app.toml", "[application]\nmain_class = \"a.B\"\nflavour = \"velmora\"\ndirectory = \"app\"\n");
    fs::create_directory(ws_ / "dist");
    auto run = kestro({"build", "app.toml", "-o", "dist/App.exe", "--write-runtime-jar"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const fs::path written = ws_ / "dist/app/.velmora/vlmruntime.jar";
    EXPECT_TRUE(readFile(written) == readFile(fs::path(KESTRO_TOOL_DIR) / "vlmruntime.jar"));
    EXPECT_NE(run.out.find("\nwrote " + native("dist/app/.velmora/vlmruntime.jar") + " (" +
                           std::to_string(fs::file_size(written)) +
                           " bytes)\n"),
              std::string::npos)
        << run.out;

    // Nowhere else: not for a kestro launcher, nor outside the output's directory.
    for (const auto& [config, message] : std::vector<std::pair<std::string, std::string>>{
             {"application.main_class = \"a.B\"\n", "kestro: --write-runtime-jar writes the velmora flavour's "
                                                     "vlmruntime.jar, but this launcher is of the kestro flavour"},
             {"[application]\nmain_class = \"a.B\"\nflavour = \"velmora\"\ndirectory = 'C:\\App'\n",
              "kestro: --write-runtime-jar writes below the launcher's directory, but application.directory "
              "\"C:\\App\" is not relative to it\n"},
         }) {
        writeFile(ws_ / "app.toml", config);
        auto refused = kestro({"build", "app.toml", "-o", "Other.exe", "--write-runtime-jar"});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_EQ(refused.err.substr(0, message.size()), message);
        EXPECT_FALSE(fs::exists(ws_ / "Other.exe"));
        EXPECT_FALSE(fs::exists(ws_ / ".velmora"));
    }
}

TEST_F(Cli, InspectShowsEveryPartByNameAndNumber) {
    ASSERT_EQ(kestro({"build", "app.toml", "-o", "App.exe"}).exitCode, 0);
    auto text = kestro({"inspect", "App.exe"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (std::string line :
         {"subsystem gui (2)\n", R"(107    application.type                     "1"  = "gui")",
          R"(128    java.search_order                    "R.\\jre;EMYAPP_JAVA;Y;S"  = [{ relative_directory = ".\\jre" }, { variable = "MYAPP_JAVA" }, "registry", "search-path"])",
          R"(2003   files.names                          "lib\\app.jar;readme.txt")",
          "\nWide strings (1)\n  5000   \"Hello ☃\"\n", "\nLocale set \"de\" (1)\n  5000   \"Grüß Gott 𝄞\"\n",
          "\nInstances\n  every start runs; instances are counted per user session",
          "\nIncluded files (2, 200008 bytes)\n  lib\\app.jar ",
          "\nResources (4)\n  type                 id     language  size\n"
          "  10 RT_RCDATA         10000  0         11 bytes  splash image (png)\n"
          "  16 RT_VERSION        1      1033      504 bytes  version 1.0.0.0, ProductName \"App\", FileDescription "
          "\"App\"\n"
          "  24 RT_MANIFEST       1      1033      1595 bytes  manifest: asInvoker\n"
          "  777                  3      1031      8 bytes\n"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\nin\n" << text.out;

    auto run = kestro({"inspect", "App.exe", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto report = nlohmann::json::parse(run.out);
    auto entry = std::ranges::find_if(report["entries"], [](const auto& e) { return e["key"] == 123; });
    ASSERT_NE(entry, report["entries"].end());
    EXPECT_EQ((*entry)["setting"], "vm.options");
    EXPECT_EQ((*entry)["value"][1], "-Dgreeting=Grüße aus Köln");
    EXPECT_EQ(report["subsystem_name"], "gui");
    EXPECT_EQ(report["wide"][0]["text"], "Hello ☃");
    EXPECT_EQ(report["locale_sets"][0]["wide"][0]["text"], "Grüß Gott 𝄞");
    EXPECT_EQ(report["files"][0]["size"], 200000);
    EXPECT_EQ(report["resources"][0],
              nlohmann::json({{"type", 10}, {"type_name", "RT_RCDATA"}, {"id", 10000}, {"language", 0}, {"size", 11},
                              {"contents", "splash image (png)"}}));
    EXPECT_EQ(report["resources"][3]["language"], 1031);

    writeFile(ws_ / "new.toml", "application = { main_module = \"m\", module_path = [\"mods\"], restart_exit_codes = [42] }\n"
                                "java = { max_heap_percent = 50, initial_heap_percent = 10, max_heap_limit_mb = 4096,"
                                " download_url = \"https://example.com/java\" }\n[environment]\nA = \"1\"\n");
    ASSERT_EQ(kestro({"build", "new.toml", "-o", "New.exe", "-q"}).exitCode, 0);
    std::string listed = kestro({"inspect", "New.exe"}).out;
    for (std::string name : {"application.restart_exit_codes", "java.max_heap_percent", "java.initial_heap_percent",
                             "java.max_heap_limit_mb", "java.download_url", "messages.open_download_url",
                             "environment ", "application.main_module", "application.module_path"})
        EXPECT_NE(listed.find(name), std::string::npos) << name << "\nin\n" << listed;

    writeFile(ws_ / "single.toml",
              "application.main_class = \"a.B\"\ninstance = { single = true, across_sessions = true }\n");
    ASSERT_EQ(kestro({"build", "single.toml", "-o", "Single.exe", "-q"}).exitCode, 0);
    const std::string single = "single instance per machine, across all sessions (semaphore \"Global\\...\"): a second "
                               "start brings the running instance's windows to the front, hands its arguments to it";
    EXPECT_NE(kestro({"inspect", "Single.exe"}).out.find("\nInstances\n  " + single), std::string::npos);
}

// One failure for each place a command can fail: the configuration (the messages of its
// settings are the unit tests'), the files it names, the stub, the output, the launcher
// to inspect.
TEST_F(Cli, EachBadInputGivesOneMessageAndLeavesNoOutput) {
    struct BadInput {
        std::string config;  // written to app.toml
        std::vector<std::string> args;
        std::string message;  // how standard error begins
    };
    writeFile(ws_ / "not-a-pe.exe", "MZ but nothing more");
    const std::vector<std::string> build{"build", "app.toml", "-o", "Out.exe"};
    const std::string main = "\n[keys]\n122 = \"a.B\"\n";  // after the lines the messages name
    const std::vector<BadInput> cases{
        {"[application\n", build, "app.toml:1: "},
        {"[[files]]\nsource = \"gone.jar\"\n" + main, build,
         "app.toml:2: files[0].source: included file 'gone.jar' not found (looked for " + shown(ws_ / "gone.jar") +
             ")\n"},
        {"[[files]]\nsource = \"input\"\n" + main, build,
         "app.toml:2: files[0].source: 'input' is a directory (looked for "},
        {"files = [{ source = \"input/readme.txt\" }, { source = \"input/app.jar\", name = \"README.TXT\" }]" + main,
         build, "app.toml:1: files[1].name: \"README.TXT\" is already the name of files[0]\n"},
        {main, {"build", "app.toml", "-o", "Out.exe", "--stub", "none.exe"},
         "kestro: stub none.exe does not exist or is not a file\n"},
        {main, {"build", "app.toml", "-o", "Out.exe", "--stub", "not-a-pe.exe"},
         "kestro: stub not-a-pe.exe is not a Kestro launcher stub: not a Windows executable (no MZ header)\n"},
        {main, {"build", "app.toml", "-o", "Out.exe", "--stub", (fs::path(KESTRO_TOOL_DIR) / "kestro.exe").string()},
         "kestro: stub " + (fs::path(KESTRO_TOOL_DIR) / "kestro.exe").string() +
             " is a Windows executable, but not a Kestro launcher stub nor a launcher built from one"},
        {main, {"build", "app.toml", "-o", "input/readme.txt/Out.exe"},
         "kestro: cannot write input/readme.txt/Out.exe: input/readme.txt is not a directory\n"},
        {main, {"build", "app.toml", "-o", "input"}, "kestro: cannot write input: it is a directory\n"},
        {"hello", {"inspect", "app.toml"}, "kestro: app.toml is not a launcher: not a Windows executable (no MZ header)\n"},
        {"", {"inspect", KESTRO_STUB}, std::string("kestro: ") + KESTRO_STUB + " carries no configuration block"},
        {main, {"package", "app.toml", "-o", "App.msi"}, "kestro: app.toml has no [package] table"},
        // A launcher that should have been signed is not left unsigned.
        {"[signing]\ncertificate = \"input/readme.txt\"\npassword_variable = \"KESTRO_UNSET_VARIABLE\"\n" + main, build,
         "kestro: signing: the environment variable KESTRO_UNSET_VARIABLE (signing.password_variable) is not set"},
    };
    for (const auto& c : cases) {
        writeFile(ws_ / "app.toml", c.config);
        auto before = listing();
        auto run = kestro(c.args);
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
        EXPECT_EQ(std::ranges::count(run.err, '\n'), 1) << run.err;
        EXPECT_EQ(listing(), before) << c.message;  // no output and no temporary file
    }
}

// kestro build signs with the certificate of [signing], its password taken from the
// variable named; inspect says who signed. (signtool, which the Windows tool calls, is
// not at hand under Wine.)
TEST_F(Cli, BuildSignsAndInspectSaysBy) {
    if (windows()) GTEST_SKIP() << "signs with osslsigncode, the Linux tool's signer";
    ASSERT_EQ(std::system(("cd '" + ws_.path.string() + "' && openssl req -x509 -newkey rsa:2048 -nodes -days 1 "
                           "-subj '/CN=Kestro CLI Test/O=Example Ltd' -keyout key.pem -out cert.pem >/dev/null 2>&1 && "
                           "openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout pass:pw >/dev/null")
                              .c_str()),
              0);
    writeFile(ws_ / "app.toml", std::string(kFullConfig) +
                                    "[signing]\ncertificate = \"cert.p12\"\npassword_variable = \"KESTRO_CLI_PASSWORD\"\n");
    setenv("KESTRO_CLI_PASSWORD", "pw", 1);
    Run built = kestro({"build", "app.toml", "-o", "Signed.exe", "-q"});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(listing().count(ws_ / "Signed.exe.signed"), 0u);
    Run shown = kestro({"inspect", "Signed.exe"});
    EXPECT_NE(shown.out.find("\nsignature: signed by CN=Kestro CLI Test, O=Example Ltd (issued by itself)\n"),
              std::string::npos)
        << shown.out;
    setenv("KESTRO_CLI_PASSWORD", "wrong", 1);
    Run refused = kestro({"build", "app.toml", "-o", "Other.exe", "-q"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.rfind("kestro: osslsigncode could not sign Other.exe:", 0), 0u) << refused.err;
    EXPECT_EQ(listing().count(ws_ / "Other.exe"), 0u);
    unsetenv("KESTRO_CLI_PASSWORD");
}

TEST_F(Cli, ExtractionRefusesANameThatClimbsOut) {
    writeFile(ws_ / "evil.toml", "application.main_class = \"a.B\"\n[[files]]\nsource = \"input/readme.txt\"\n"
                                 "name = \"xx\\\\e.txt\"\n");
    ASSERT_EQ(kestro({"build", "evil.toml", "-o", "Evil.exe"}).exitCode, 0);
    std::string bytes = readFile(ws_ / "Evil.exe");
    bytes.replace(bytes.find("xx\\e.txt"), 8, "..\\e.txt");
    writeFile(ws_ / "Evil.exe", bytes);
    auto run = kestro({"inspect", "Evil.exe", "--extract", "out/inner"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("\"..\\e.txt\" is not extracted"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(ws_ / "out/e.txt"));
}

// The tool replaces its output by renaming a finished file over it: never over a
// device or a pipe, also where a link leads to one.
TEST_F(Cli, OutputThatIsNoRegularFileIsNeverReplaced) {
    if (windows()) GTEST_SKIP() << "POSIX only: Windows has no device or pipe files in a directory";
    // A device of our own where the tests run as root, so that a fault cannot replace
    // the system's /dev/full.
    fs::path device = ws_ / "full";
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) device = "/dev/full";
    ASSERT_EQ(::mkfifo((ws_ / "pipe").c_str(), 0666), 0);
    fs::create_symlink("pipe", ws_ / "ToPipe.exe");
    for (const auto& [output, message] : std::vector<std::pair<std::string, std::string>>{
             {device.string(), "kestro: cannot write " + device.string() + ": it is a character device; only a regular file is replaced\n"},
             {"pipe", "kestro: cannot write pipe: it is a named pipe; only a regular file is replaced\n"},
             {"ToPipe.exe", "kestro: cannot write ToPipe.exe (a link to pipe): it is a named pipe"},
         }) {
        auto run = kestro({"build", "app.toml", "-o", output});
        EXPECT_EQ(run.exitCode, 1) << output;
        EXPECT_EQ(run.err.substr(0, message.size()), message);
    }
    struct stat st {};
    EXPECT_TRUE(::stat(device.c_str(), &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_TRUE(fs::is_fifo(ws_ / "pipe"));
}

// An output that is a symbolic link: on Linux the launcher goes into the file the link
// points to (through a rename beside it) and the link stays; on Windows the link itself
// is replaced, as Windows replaces files, and what it pointed to is left alone.
TEST_F(Cli, OutputThatIsALink) {
    writeFile(ws_ / "elsewhere/App.exe", "old launcher");
    fs::create_symlink("elsewhere/App.exe", ws_ / "App.exe");
    fs::create_symlink("../elsewhere/New.exe", ws_ / "input/New.exe");  // dangling, relative to its directory
    // Launchers of different names, the same but for what their names give.
    writeFile(ws_ / "app.toml", std::string("version.generate = false\nmanifest.generate = false\n") + kFullConfig);
    ASSERT_EQ(kestro({"build", "app.toml", "-o", "App.exe", "-q"}).exitCode, 0);
    ASSERT_EQ(kestro({"build", "app.toml", "-o", "input/New.exe", "-q"}).exitCode, 0);
    if (windows()) {
        EXPECT_FALSE(fs::is_symlink(ws_ / "App.exe"));
        EXPECT_EQ(readFile(ws_ / "elsewhere/App.exe"), "old launcher");
        EXPECT_FALSE(fs::exists(ws_ / "elsewhere/New.exe"));
        EXPECT_TRUE(readFile(ws_ / "input/New.exe") == readFile(ws_ / "App.exe"));
    } else {
        EXPECT_TRUE(fs::is_symlink(ws_ / "App.exe"));
        EXPECT_TRUE(fs::is_symlink(ws_ / "input/New.exe"));
        EXPECT_EQ(readFile(ws_ / "elsewhere/App.exe").substr(0, 2), "MZ");
        EXPECT_TRUE(readFile(ws_ / "elsewhere/New.exe") == readFile(ws_ / "elsewhere/App.exe"));
        EXPECT_EQ(fs::status(ws_ / "elsewhere/App.exe").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    }
    for (const fs::path& dir : {ws_.path, ws_ / "elsewhere", ws_ / "input"})
        for (const auto& entry : fs::directory_iterator(dir))
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(Cli, UsageErrorsExitWithTwoAndNameWhatIsWrong) {
    struct Usage {
        std::vector<std::string> args;
        std::string message;  // the first line of standard error
    };
    const std::vector<Usage> cases{
        {{"biuld", "app.toml"}, "kestro: unknown command 'biuld' (did you mean 'build'?)"},
        {{}, "kestro: a command is needed: 'build', 'inspect', 'run', 'package' or 'init'"},
        {{"build", "app.toml", "--out", "x.exe"},
         "kestro: unknown option '--out' for 'kestro build' (did you mean '--output'?)"},
        {{"build", "app.toml", "--ouptut=x.exe"},
         "kestro: unknown option '--ouptut' for 'kestro build' (did you mean '--output'?)"},
        {{"build", "app.toml"}, "kestro: 'kestro build' needs the launcher to write: -o App.exe"},
        {{"build", "app.toml", "-o", "x.exe", "more.toml"}, "kestro: unexpected argument 'more.toml' for 'kestro build'"},
        {{"inspect", "--json", "--toml", "x.exe"}, "kestro: --json excludes --toml"},
    };
    for (const auto& c : cases) {
        auto run = kestro(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.message);
        EXPECT_NE(run.err.find("Run 'kestro"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(ws_ / "x.exe"));

    auto version = kestro({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.starts_with("kestro ") && std::isdigit(version.out[7])) << version.out;
}

// What was written on standard output unless quiet, into directories made for it;
// warnings on standard error, and the build still succeeds.
TEST_F(Cli, BuildSaysWhatItWroteAndWarnsOnStandardError) {
    auto run = kestro({"build", "app.toml", "-o", "dist/new/App.exe"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "wrote dist/new/App.exe (" + std::to_string(fs::file_size(ws_ / "dist/new/App.exe")) +
                           " bytes; 27 settings, 2 included files, 4 resources)\n");
    EXPECT_EQ(run.err, "");

    writeFile(ws_ / "app.toml", "[application]\ntype = 3\nmain_class = \"a.B\"\n");
    auto quiet = kestro({"build", "app.toml", "-o", "Quiet.exe", "--quiet"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "app.toml:2: warning: application.type 3 has no meaning of its own; the launcher treats it "
                         "as \"console\" (2)\n");
    EXPECT_TRUE(fs::exists(ws_ / "Quiet.exe"));
}

}  // namespace
}  // namespace kestro::tool
