// What kestro init reads from a jar and the configuration it starts from.
#include <gtest/gtest.h>

#include <cstdlib>

#include <toml++/toml.h>

#include "tool/config/config_loader.h"
#include "tool/init/init_config.h"
#include "tool/init/jar_manifest.h"
#include "tool/package/package_settings.h"
#include "tool_test_support.h"

namespace kestro::tool::init {
namespace {

namespace fs = std::filesystem;
using test::readFile;

std::string manifestOfFile(const fs::path& jar) {
    std::string bytes = readFile(jar);
    return manifestOf(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

// Stored and deflated manifests of archives as Python's zipfile writes them, and damaged
// archives.
TEST(JarManifest, ReadsStoredAndDeflatedManifestsAndRefusesDamage) {
    test::TempDir dir;
    const std::string text = "Manifest-Version: 1.0\r\nMain-Class: a.B\r\n\r\n" + std::string(2000, '#');
    test::writeFile(dir / "manifest", text);
    for (const char* method : {"ZIP_STORED", "ZIP_DEFLATED"}) {
        fs::path jar = dir / (std::string(method) + ".jar");
        std::string zip = "python3 -c 'import sys, zipfile as z; f = z.ZipFile(sys.argv[1], \"w\", z." +
                          std::string(method) + "); f.writestr(\"a.txt\", \"x\"); "
                          "f.write(sys.argv[2], \"meta-inf/Manifest.MF\"); f.close()' '" +
                          jar.string() + "' '" + (dir / "manifest").string() + "'";
        ASSERT_EQ(std::system(zip.c_str()), 0);
        EXPECT_EQ(manifestOfFile(jar), text) << method;
        std::string bytes = readFile(jar);
        for (size_t cut : {size_t(10), bytes.size() / 2, bytes.size() - 30}) {
            std::string part = bytes.substr(0, cut) + bytes.substr(bytes.size() - 22);  // the end record kept
            EXPECT_TRUE(test::errorOf([&] {
                            manifestOf(std::span(reinterpret_cast<const uint8_t*>(part.data()), part.size()));
                        }).starts_with("not a readable jar: "))
                << method << " cut at " << cut;
        }
    }
    EXPECT_EQ(test::errorOf([] { manifestOf(std::vector<uint8_t>(100, 'x')); }),
              "not a readable jar: no zip archive's end record");
}

TEST(JarManifest, MainAttributesJoinContinuationsAndEndAtTheFirstEmptyLine) {
    auto attributes = mainAttributes("Manifest-Version: 1.0\r\nClass-Path: lib/a.jar lib/b\r\n .jar\nMain-Class: a.B\r"
                                     "Main-Class: c.D\n\nName: x\nMain-Class: e.F\n");
    EXPECT_EQ(attributes, (std::map<std::string, std::string>{
                              {"Manifest-Version", "1.0"}, {"Class-Path", "lib/a.jar lib/b.jar"}, {"Main-Class", "a.B"}}));
}

TEST(InitConfig, FactsFromTheManifest) {
    JarFacts facts = factsFromManifest(
        "dist/app.jar", {{"Main-Class", "com.acme.Main"},
                         {"Class-Path", "lib/a.jar  lib/my%20b.jar classes/ /abs/c.jar file:/d.jar"},
                         {"Bundle-Name", "Acme"}, {"Implementation-Version", "2.4-SNAPSHOT"}});
    EXPECT_EQ(facts.mainClass, "com.acme.Main");
    EXPECT_EQ(facts.classPath, (std::vector<std::string>{"lib\\a.jar", "lib\\my b.jar"}));
    EXPECT_EQ(facts.name, "Acme");
    EXPECT_EQ(facts.version, "2.4-SNAPSHOT");
    EXPECT_EQ(factsFromManifest("x/app.jar", {}).name, "app");

    struct Case {
        std::string version;
        std::optional<std::string> numbers;
    };
    for (const Case& c : std::initializer_list<Case>{{"2.4-SNAPSHOT", "2.4.0"}, {"1.2.3.4.5", "1.2.3.4"},
                                                     {"7", "7.0.0"}, {"v1", std::nullopt}, {"70000.1", std::nullopt}})
        EXPECT_EQ(versionNumbers(c.version), c.numbers) << c.version;
}

// The file builds as it is, with and without a jar, and names what it took from the jar.
TEST(InitConfig, TheStartingFileBuilds) {
    test::TempDir dir;
    test::writeFile(dir / "app.jar", "jar");
    JarFacts facts = factsFromManifest("app.jar", {{"Main-Class", "com.acme.Main"}, {"Class-Path", "lib/a.jar"},
                                                   {"Implementation-Title", "Acme \"Pro\""},
                                                   {"Implementation-Version", "3.1"}});
    std::string guid = freshGuid();
    EXPECT_NE(guid, freshGuid());
    EXPECT_NO_THROW(packaging::checkUpgradeCode(guid)) << guid;
    std::string text = renderSections(initSections(facts, guid));
    for (const std::string& line : std::vector<std::string>{"main_class = \"com.acme.Main\"  # from the jar's Main-Class\n",
                             "entries = [{ archive = \"lib\\\\a.jar\" }]  # from the jar's Class-Path",
                             "[[files]]\nsource = \"app.jar\"", "product_name = \"Acme \\\"Pro\\\"\"",
                             "file_version = \"3.1.0\"  # from the jar's version 3.1\n", "# [icon]\n# file = ",
                             "# [package]\n# upgrade_code = \"" + guid + "\""})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    for (const std::string& config : {text, renderSections(initSections({}, guid))}) {
        test::writeFile(dir / "app.toml", config);
        BuildPlan plan = loadConfiguration(config, dir / "app.toml");
        EXPECT_EQ(plan.warnings, std::vector<std::string>{}) << config;
    }
}

}  // namespace
}  // namespace kestro::tool::init
