#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <nlohmann/json.hpp>
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
[application]
main_class = "com.example.Main"
type = "gui"
arguments = ["--mode", "fast lane", "it's"]
flavour = "velmora"
)";

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string jar(200000, '\0');
        std::generate(jar.begin(), jar.end(), [n = 0u]() mutable { return char((n++ * 7919u) >> 3); });
        writeFile(ws_ / "input/app.jar", jar);
        writeFile(ws_ / "input/readme.txt", "read me\n");
        writeFile(ws_ / "app.toml", kFullConfig);
    }

    struct Run {
        int exitCode;
        std::string out, err;
    };

    // Runs the built tool in the workspace.
    Run kestro(const std::vector<std::string>& args) {
        std::string command = "cd '" + ws_.path.string() + "' && '" KESTRO_TOOL "'";
        for (const auto& a : args) command += " '" + a + "'";
        int status = std::system((command + " >.out 2>.err").c_str());
        Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(ws_ / ".out"), readFile(ws_ / ".err")};
        fs::remove(ws_ / ".out"), fs::remove(ws_ / ".err");
        return run;
    }

    test::TempDir ws_;
};

TEST_F(Cli, PrintedConfigurationRebuildsTheIdenticalLauncher) {
    auto first = kestro({"build", "app.toml", "-o", "App.exe"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    auto printed = kestro({"inspect", "App.exe", "--toml", "--extract", "extracted"});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_EQ(printed.err, "");  // nothing the printed configuration would lose
    EXPECT_TRUE(readFile(ws_ / "extracted/lib/app.jar") == readFile(ws_ / "input/app.jar"));
    writeFile(ws_ / "again/app.toml", printed.out);

    // Built over the first launcher, whose block is replaced rather than stacked.
    auto second = kestro({"build", "again/app.toml", "-o", "Again.exe", "--stub", "App.exe"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_TRUE(readFile(ws_ / "App.exe") == readFile(ws_ / "Again.exe")) << printed.out;
}

TEST_F(Cli, InspectShowsEveryPartByNameAndNumber) {
    ASSERT_EQ(kestro({"build", "app.toml", "-o", "App.exe"}).exitCode, 0);
    auto text = kestro({"inspect", "App.exe"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (std::string line :
         {R"(107    application.type                     "1"  = "gui")",
          R"(128    java.search_order                    "R.\\jre;EMYAPP_JAVA;Y;S"  = [{ relative_directory = ".\\jre" }, { variable = "MYAPP_JAVA" }, "registry", "search-path"])",
          R"(2003   files.names                          "lib\\app.jar;readme.txt")",
          "\nWide strings (1)\n  5000   \"Hello ☃\"\n", "\nLocale set \"de\" (1)\n  5000   \"Grüß Gott 𝄞\"\n",
          "\nIncluded files (2, 200008 bytes)\n  lib\\app.jar "})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\nin\n" << text.out;

    auto run = kestro({"inspect", "App.exe", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto report = nlohmann::json::parse(run.out);
    auto entry = std::ranges::find_if(report["entries"], [](const auto& e) { return e["key"] == 123; });
    ASSERT_NE(entry, report["entries"].end());
    EXPECT_EQ((*entry)["setting"], "vm.options");
    EXPECT_EQ((*entry)["value"][1], "-Dgreeting=Grüße aus Köln");
    EXPECT_EQ(report["wide"][0]["text"], "Hello ☃");
    EXPECT_EQ(report["locale_sets"][0]["wide"][0]["text"], "Grüß Gott 𝄞");
    EXPECT_EQ(report["files"][0]["size"], 200000);
}

TEST_F(Cli, EachBadInputGivesOneMessageAndLeavesNoOutput) {
    struct BadInput {
        std::string config;  // written to app.toml
        std::vector<std::string> args;
        std::string message;  // how standard error begins
    };
    writeFile(ws_ / "not-a-pe.exe", "MZ but nothing more");
    const std::vector<std::string> build{"build", "app.toml", "-o", "Out.exe"};
    const std::vector<BadInput> cases{
        {"[application]\nmian_class = \"x\"\n", build, "app.toml:2: unknown setting 'application.mian_class'\n"},
        {"[splash]\nenabled = 1\n", build, "app.toml:2: splash.enabled: expected true or false, got an integer\n"},
        {"[application\n", build, "app.toml:1: "},
        {"[[files]]\nsource = \"gone.jar\"\n", build, "app.toml:2: files[0].source: included file 'gone.jar' not found"},
        {"[[files]]\nsource = \"input/readme.txt\"\nname = \"..\\\\x.txt\"\n", build,
         "app.toml:3: files[0].name: the name has a '..' component"},
        {"files = [{ source = \"input/readme.txt\" }, { source = \"input/app.jar\", name = \"README.TXT\" }]", build,
         "app.toml:1: files[1].name: \"README.TXT\" is already the name of files[0]\n"},
        {"", {"build", "app.toml", "-o", "Out.exe", "--stub", "none.exe"},
         "kestro: stub none.exe does not exist or is not a file\n"},
        {"", {"build", "app.toml", "-o", "Out.exe", "--stub", "not-a-pe.exe"},
         "kestro: stub not-a-pe.exe is not a usable launcher"},
        {"", {"build", "app.toml", "-o", "no/such/dir/Out.exe"}, "kestro: cannot write no/such/dir/Out.exe"},
        {"", {"build", "app.toml", "-o", "input"}, "kestro: cannot write input: it is a directory\n"},
        {"hello", {"inspect", "app.toml"}, "kestro: app.toml is not a launcher: not a Windows executable (no MZ header)\n"},
        {"", {"inspect", KESTRO_STUB}, std::string("kestro: ") + KESTRO_STUB + " carries no configuration block"},
    };
    auto listing = [&] { return std::set<fs::path>(fs::directory_iterator(ws_.path), {}); };
    for (const auto& c : cases) {
        writeFile(ws_ / "app.toml", c.config);
        auto before = listing();
        auto run = kestro(c.args);
        EXPECT_NE(run.exitCode, 0) << c.message;
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
        EXPECT_EQ(std::ranges::count(run.err, '\n'), 1) << run.err;
        EXPECT_EQ(listing(), before) << c.message;  // no output and no temporary file
    }
}

TEST_F(Cli, ExtractionRefusesANameThatClimbsOut) {
    writeFile(ws_ / "evil.toml", "[[files]]\nsource = \"input/readme.txt\"\nname = \"xx\\\\e.txt\"\n");
    ASSERT_EQ(kestro({"build", "evil.toml", "-o", "Evil.exe"}).exitCode, 0);
    std::string bytes = readFile(ws_ / "Evil.exe");
    bytes.replace(bytes.find("xx\\e.txt"), 8, "..\\e.txt");
    writeFile(ws_ / "Evil.exe", bytes);
    auto run = kestro({"inspect", "Evil.exe", "--extract", "out/inner"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("\"..\\e.txt\" is not extracted"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(ws_ / "out/e.txt"));
}

}  // namespace
}  // namespace kestro::tool
