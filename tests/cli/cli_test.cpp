// Tests of the kestro program itself: exit codes, messages, the files it writes or leaves
// alone, and round trips through inspect --toml. The rules behind the messages are the
// unit tests'.
#include "cli_fixture.h"

namespace kestro::tool::cli {
namespace {

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

}  // namespace
}  // namespace kestro::tool::cli
