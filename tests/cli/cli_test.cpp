#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "cli_support.h"

namespace kestro::cli {
namespace {

using test::Workspace;

// Every kind of content a block can hold, with included files at the top of the
// temporary directory and one level down.
const char* kFullConfig = R"(
[build]
code_page = "windows-1252"

[application]
main_class = "com.example.Main"
type = "gui"
arguments = ["--mode", "fast lane", "it's"]
flavour = "velmora"

[java]
search_order = [{ relative_directory = ".\\jre" }, { variable = "MYAPP_JAVA" }, "registry", "search-path"]
min_version = "1.8"

[vm]
options = ["-Xmx512m", "-Dgreeting=Grüße aus Köln"]

[classpath]
entries = [{ archive = ".\\.velmora\\user.jar", mandatory = false }, { scan = "lib" }]

[messages]
caption = "Fehler"

[keys]
101 = "kept as is"

[wide]
5000 = "Hello ☃"

[[locale]]
prefix = "de"
[locale.wide]
5000 = "Grüß Gott 𝄞"

[[files]]
source = "input/app.jar"
name = "lib/app.jar"

[[files]]
source = "input/readme.txt"
)";

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string jar(200000, '\0');
        std::generate(jar.begin(), jar.end(), [n = 0u]() mutable { return char((n++ * 7919u) >> 3); });
        test::writeFile(ws_ / "input/app.jar", jar);
        test::writeFile(ws_ / "input/readme.txt", "read me\n");
        test::writeFile(ws_ / "app.toml", kFullConfig);
    }
    Workspace ws_;
};

TEST_F(Cli, PrintedConfigurationRebuildsTheIdenticalLauncher) {
    auto first = ws_.kestro({"build", "app.toml", "-o", "App.exe"});
    ASSERT_EQ(first.exitCode, 0) << first.err;

    auto printed = ws_.kestro({"inspect", "App.exe", "--toml", "--extract", "extracted"});
    ASSERT_EQ(printed.exitCode, 0) << printed.err;
    EXPECT_EQ(printed.err, "");  // nothing the printed configuration would lose
    EXPECT_EQ(test::readFile(ws_ / "extracted/lib/app.jar"), test::readFile(ws_ / "input/app.jar"));
    test::writeFile(ws_ / "again/app.toml", printed.out);

    auto second = ws_.kestro({"build", "again/app.toml", "-o", "Again.exe", "--stub", KESTRO_STUB});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_TRUE(test::readFile(ws_ / "App.exe") == test::readFile(ws_ / "Again.exe")) << printed.out;
}

TEST_F(Cli, RebuildingFromABuiltLauncherReplacesItsBlock) {
    ASSERT_EQ(ws_.kestro({"build", "app.toml", "-o", "App.exe"}).exitCode, 0);
    test::writeFile(ws_ / "small.toml", "[application]\nmain_class = \"x.Y\"\n");
    ASSERT_EQ(ws_.kestro({"build", "small.toml", "-o", "Small.exe"}).exitCode, 0);
    ASSERT_EQ(ws_.kestro({"build", "small.toml", "-o", "Restub.exe", "--stub", "App.exe"}).exitCode, 0);
    EXPECT_TRUE(test::readFile(ws_ / "Small.exe") == test::readFile(ws_ / "Restub.exe"));
}

TEST_F(Cli, JsonReportParsesAndDescribesEveryPart) {
    ASSERT_EQ(ws_.kestro({"build", "app.toml", "-o", "App.exe"}).exitCode, 0);
    auto run = ws_.kestro({"inspect", "App.exe", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto report = nlohmann::json::parse(run.out);

    auto entry = std::ranges::find_if(report["entries"], [](const auto& e) { return e["key"] == 123; });
    ASSERT_NE(entry, report["entries"].end());
    EXPECT_EQ((*entry)["setting"], "vm.options");
    EXPECT_EQ((*entry)["value"][1], "-Dgreeting=Grüße aus Köln");
    EXPECT_EQ(report["wide"][0]["text"], "Hello ☃");
    EXPECT_EQ(report["locale_sets"][0]["prefix"], "de");
    EXPECT_EQ(report["files"][0]["name"], "lib\\app.jar");
    EXPECT_EQ(report["files"][0]["size"], 200000);
    EXPECT_TRUE(report["warnings"].empty());
}

TEST_F(Cli, TextReportNamesEachKeyByNameAndNumber) {
    ASSERT_EQ(ws_.kestro({"build", "app.toml", "-o", "App.exe"}).exitCode, 0);
    auto run = ws_.kestro({"inspect", "App.exe"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("107    application.type"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"gui\""), std::string::npos);
    EXPECT_NE(run.out.find("lib\\app.jar"), std::string::npos);
}

struct BadInput {
    const char* what;
    std::string config;  // written to app.toml
    std::vector<std::string> args;
    std::string message;  // how standard error begins
};

TEST_F(Cli, EachBadInputGivesOneMessageAndLeavesNoOutput) {
    test::writeFile(ws_ / "not-a-pe.exe", "MZ but nothing more");
    const std::vector<std::string> build{"build", "app.toml", "-o", "Out.exe"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = build;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const std::vector<BadInput> cases{
        {"unknown setting", "[application]\nmian_class = \"x\"\n", build,
         "app.toml:2: unknown setting 'application.mian_class'\n"},
        {"wrong type", "[splash]\nenabled = 1\n", build,
         "app.toml:2: splash.enabled: expected true or false, got an integer\n"},
        {"bad TOML", "[application\n", build, "app.toml:1: "},
        {"missing included file", "[[files]]\nsource = \"gone.jar\"\n", build,
         "app.toml:2: files[0].source: included file 'gone.jar' not found"},
        {"missing stub", "", with({"--stub", "none.exe"}), "kestro: stub none.exe does not exist or is not a file\n"},
        {"stub that is not PE", "", with({"--stub", "not-a-pe.exe"}), "kestro: stub not-a-pe.exe is not a usable launcher"},
        {"output not writable", "", {"build", "app.toml", "-o", "no/such/dir/Out.exe"},
         "kestro: cannot write no/such/dir/Out.exe"},
        {"output is a directory", "", {"build", "app.toml", "-o", "input"}, "kestro: cannot write input: it is a directory\n"},
        {"missing configuration", "", {"build", "missing.toml", "-o", "Out.exe"},
         "kestro: cannot read missing.toml: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        test::writeFile(ws_ / "app.toml", c.config);
        auto before = ws_.entries();
        auto run = ws_.kestro(c.args);
        EXPECT_NE(run.exitCode, 0) << c.what;
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message) << c.what;
        EXPECT_EQ(std::ranges::count(run.err, '\n'), 1) << c.what << ": " << run.err;
        EXPECT_EQ(ws_.entries(), before) << c.what;  // no output and no temporary file
    }
}

TEST_F(Cli, InspectRefusesWhatIsNoLauncherAndBadNames) {
    test::writeFile(ws_ / "plain.txt", "hello");
    auto plain = ws_.kestro({"inspect", "plain.txt"});
    EXPECT_NE(plain.exitCode, 0);
    EXPECT_EQ(plain.err, "kestro: plain.txt is not a launcher: not a Windows executable (no MZ header)\n");
    auto stub = ws_.kestro({"inspect", KESTRO_STUB});
    EXPECT_NE(stub.exitCode, 0);
    EXPECT_NE(stub.err.find("carries no configuration block"), std::string::npos);
    EXPECT_NE(ws_.kestro({"inspect", "plain.txt", "--json", "--toml"}).exitCode, 0);

    // A launcher whose stored name climbs out of the extraction directory.
    test::writeFile(ws_ / "evil.toml", "[[files]]\nsource = \"input/readme.txt\"\nname = \"xx\\\\e.txt\"\n");
    ASSERT_EQ(ws_.kestro({"build", "evil.toml", "-o", "Evil.exe"}).exitCode, 0);
    std::string bytes = test::readFile(ws_ / "Evil.exe");
    bytes.replace(bytes.find("xx\\e.txt"), 8, "..\\e.txt");
    test::writeFile(ws_ / "Evil.exe", bytes);
    auto run = ws_.kestro({"inspect", "Evil.exe", "--extract", "out/inner"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("\"..\\e.txt\" is not extracted"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(ws_ / "out/e.txt"));
}

}  // namespace
}  // namespace kestro::cli
