// [package] and [signing]: the rules of their values, their problems as the
// configuration reader reports them, and the structure of the WiX source made from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <regex>
#include <set>

#include "tool/config/config_loader.h"
#include "tool/package/package_layout.h"
#include "tool/package/package_settings.h"
#include "tool/package/wix_source.h"
#include "tool_test_support.h"

namespace kestro::tool::packaging {
namespace {

TEST(PackageValues, RulesOfSingleValues) {
    struct Case {
        std::string (*check)(std::string_view);
        std::string text, want;  // want: the value stored, or "!" and the start of the error
    };
    for (const Case& c : std::initializer_list<Case>{
             {checkUpgradeCode, "6f1f3c2e-5a7b-4c1d-9e8f-0a1b2c3d4e5f", "{6F1F3C2E-5A7B-4C1D-9E8F-0A1B2C3D4E5F}"},
             {checkUpgradeCode, "{6F1F3C2E-5A7B-4C1D-9E8F-0A1B2C3D4E5F}", "{6F1F3C2E-5A7B-4C1D-9E8F-0A1B2C3D4E5F}"},
             {checkUpgradeCode, "{6f1f3c2e-5a7b-4c1d-9e8f-0a1b2c3d4e5f", "!expected a GUID"},
             {checkUpgradeCode, "6f1f3c2e5a7b4c1d9e8f0a1b2c3d4e5f", "!expected a GUID"},
             {checkUpgradeCode, "6f1f3c2e-5a7b-4c1d-9e8f-0a1b2c3d4e5g", "!expected a GUID"},
             {checkUpgradeCode, "6f1f3c2e-5a7b-4c1d-9e8f0-a1b2c3d4e5f", "!expected a GUID"},
             {checkUpgradeCode, "00000000-0000-0000-0000-000000000000", "!the zero GUID"},
             {checkProductVersion, "1.2", "1.2"},
             {checkProductVersion, "255.255.65535", "255.255.65535"},
             {checkProductVersion, "256.0.0", "!expected a version"},
             {checkProductVersion, "1.0.65536", "!expected a version"},
             {checkProductVersion, "1", "!expected a version"},
             {checkProductVersion, "1.2.3.4", "!\"1.2.3.4\" has four parts"},
             {checkProductVersion, "1.-2.3", "!expected a version"},
             {checkProductVersion, "1..3", "!expected a version"},
             {checkProductName, "Hello & Co", "Hello & Co"},
             {checkProductName, "a/b", "!\"a/b\" names the installation's folder"},
             {checkProductName, "Hello.", "!\"Hello.\" names"},
             {checkProductName, " ", "!is empty"},
             {checkExtension, "hello", "hello"},
             {checkExtension, ".hello", "!write the extension without its dot: \"hello\""},
             {checkExtension, "a b", "!expected an extension"},
             {checkTarget, "lib\\greeting.jar", "lib/greeting.jar"},
             {checkTarget, "../x.jar", "!\"../x.jar\" must stay below"},
             {checkTarget, "lib//x.jar", "!\"lib//x.jar\" must stay below"},
             {checkTarget, "C:/x.jar", "!expected a file's path"},
             {checkTarget, "/x.jar", "!expected a file's path"},
             {checkTarget, "lib/x?.jar", "!\"lib/x?.jar\" is no Windows file name"},
             {checkVariableName, "SIGN_PASS", "SIGN_PASS"},
             {checkVariableName, "pass word", "!expected the name of an environment variable"},
         }) {
        std::string got;
        try {
            got = c.check(c.text);
        } catch (const SettingError& e) {
            got = std::string("!") + e.what();
        }
        EXPECT_TRUE(got.starts_with(c.want)) << c.text << " gave " << got;
    }
    EXPECT_EQ(productVersionFrom("1.2.3.4"), "1.2.3");
    EXPECT_EQ(productVersionFrom("1.2"), "1.2");
}

class PackageTables : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(dir_ / "build/greeting.jar", "jar");
        test::writeFile(dir_ / "doc.ico", "ico");
        test::writeFile(dir_ / "win-jre/bin/java.exe", "MZ");
        test::writeFile(dir_ / "win-jre/lib/modules", "m");
        test::writeFile(dir_ / "cert.p12", "p12");
    }
    BuildPlan load(const std::string& text) {
        return loadConfiguration("[application]\nmain_class = \"a.B\"\n" + text, dir_ / "app.toml");
    }
    std::string problems(const std::string& text) {
        return test::errorOf([&] { load(text); });
    }
    test::TempDir dir_;
};

constexpr const char* kMinimal = "[package]\nmanufacturer = \"Example Ltd\"\nupgrade_code = \"6f1f3c2e-5a7b-4c1d-9e8f-0a1b2c3d4e5f\"\n";

TEST_F(PackageTables, ReadWithDefaultsAndFilesRelativeToTheConfiguration) {
    BuildPlan plan = load(std::string(kMinimal) +
                          "scope = \"per-user\"\nruntime = \"win-jre\"\n"
                          "[[package.files]]\nsource = \"build/greeting.jar\"\ntarget = \"lib\\\\greeting.jar\"\n"
                          "[[package.file_associations]]\nextension = \"hello\"\nicon = \"doc.ico\"\n"
                          "[signing]\ncertificate = \"cert.p12\"\npassword_variable = \"PASS\"\n");
    ASSERT_TRUE(plan.package && plan.signing);
    const PackageSettings& p = *plan.package;
    EXPECT_EQ(p.scope, InstallScope::PerUser);
    EXPECT_TRUE(p.startMenuShortcut);
    EXPECT_FALSE(p.desktopShortcut);
    EXPECT_FALSE(p.name || p.version);
    ASSERT_EQ(p.files.size(), 1u);
    EXPECT_EQ(p.files[0].source, dir_.path / "build/greeting.jar");
    EXPECT_EQ(p.files[0].target, "lib/greeting.jar");
    ASSERT_EQ(p.associations.size(), 1u);
    EXPECT_EQ(p.associations[0].description, "hello file");
    EXPECT_EQ(plan.signing->certificate, dir_.path / "cert.p12");
    EXPECT_FALSE(plan.signing->timestampUrl);
    EXPECT_FALSE(load("").package);
}

TEST_F(PackageTables, ProblemsNameTheLineAndSetting) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[package]\nmanufacturer = \"M\"\n", "app.toml:3: package: needs an upgrade_code"},
        {std::string(kMinimal) + "scope = \"machine\"\n", "app.toml:6: package.scope: expected \"per-machine\" or"},
        {std::string(kMinimal) + "runtime = \"build\"\n", "app.toml:6: package.runtime: 'build' is no Windows Java runtime"},
        {std::string(kMinimal) + "runtime = \"nowhere\"\n", "app.toml:6: package.runtime: runtime directory 'nowhere' not found"},
        {std::string(kMinimal) + "[[package.files]]\nsource = \"missing.jar\"\ntarget = \"a.jar\"\n",
         "app.toml:7: package.files[0].source: file 'missing.jar' not found"},
        {std::string(kMinimal) + "[[package.files]]\nsource = \"build/greeting.jar\"\n",
         "app.toml:6: package.files[0]: a file needs both source and target"},
        {std::string(kMinimal) + "runtime = \"win-jre\"\n[[package.files]]\nsource = \"build/greeting.jar\"\ntarget = \"JRE/x.jar\"\n",
         "app.toml:3: package.files: \"JRE/x.jar\" lies in jre/"},
        {std::string(kMinimal) + "[[package.file_associations]]\nextension = \"a\"\n[[package.file_associations]]\nextension = \"A\"\n",
         "app.toml:3: package.file_associations: \"A\" is given twice"},
        {std::string(kMinimal) + "[[package.file_associations]]\nextension = \"a\"\ncontent_type = \"text\"\n",
         "app.toml:8: package.file_associations[0].content_type: expected a content type"},
        {std::string(kMinimal) + "scopes = true\n", "app.toml:6: unknown setting 'package.scopes' (did you mean 'package.scope'?)"},
        {"[signing]\ncertificate = \"cert.p12\"\npassword = \"secret\"\n", "app.toml:5: unknown setting 'signing.password' (did you mean 'signing.password_variable'?)"},
        {"[signing]\ncertificate = \"cert.p12\"\npassword_variable = \"P\"\ntimestamp_url = \"ftp://x\"\n",
         "app.toml:6: signing.timestamp_url: expected an http:// or https:// address"},
    };
    for (const auto& [text, want] : cases) {
        std::string got = problems(text);
        EXPECT_NE(got.find((dir_.path / want).string()), std::string::npos) << text << "\ngave: " << got;
    }
}

// The elements of the source with their attributes, in document order, and the depth of each.
struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    int depth;
};

std::vector<Element> elements(const std::string& xml) {
    std::vector<Element> out;
    int depth = 0;
    std::regex tag(R"(<(/?)([A-Za-z]+)((?:\s+[A-Za-z0-9]+="[^"]*")*)\s*(/?)>)"), attribute(R"(([A-Za-z0-9]+)="([^"]*)\")");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m[1] == "/") { --depth; continue; }
        Element e{m[2], {}, depth};
        std::string attrs = m[3];
        for (auto a = std::sregex_iterator(attrs.begin(), attrs.end(), attribute); a != std::sregex_iterator(); ++a)
            e.attributes[(*a)[1]] = (*a)[2];
        out.push_back(e);
        if (m[4] != "/") ++depth;
    }
    return out;
}

std::vector<Element> named(const std::vector<Element>& all, const std::string& name) {
    std::vector<Element> out;
    std::ranges::copy_if(all, std::back_inserter(out), [&](const Element& e) { return e.name == name; });
    return out;
}

PackageLayout sampleLayout(InstallScope scope) {
    PackageLayout l{.name = "Hello & <Co>", .manufacturer = "Example", .version = "1.2.0",
                    .upgradeCode = "{6F1F3C2E-5A7B-4C1D-9E8F-0A1B2C3D4E5F}", .scope = scope,
                    .launcherSource = "/b/Hello.exe", .launcherTarget = "Hello.exe", .sourceBase = "/b"};
    l.files = {{"/s/greeting.jar", "lib/greeting.jar"}, {"/r/bin/java.exe", "jre/bin/java.exe"},
               {"/r/bin/server/jvm.dll", "jre/bin/server/jvm.dll"}, {"/i/doc.ico", "icons/hello.ico"}};
    l.desktopShortcut = true;
    l.associations = {{"hello", "Hello document", "application/x-hello", "icons/hello.ico"},
                      {"hi", "Hi", std::nullopt, std::nullopt}};
    return l;
}

TEST(WixSource, EveryFileInItsFolderEveryComponentInTheFeatureOnce) {
    for (InstallScope scope : {InstallScope::PerMachine, InstallScope::PerUser}) {
        std::string source = wixSource(sampleLayout(scope));
        std::vector<Element> all = elements(source);
        // Folders nest as the targets say: the path of each file is the Names of the
        // Directory elements above it below INSTALLDIR.
        std::map<std::string, std::string> fileAt;       // target -> source
        std::vector<std::pair<int, std::string>> above;  // the Directory elements around, with depths
        for (Element e : all) {
            while (!above.empty() && above.back().first >= e.depth) above.pop_back();
            if (e.name == "Directory")
                above.push_back({e.depth, e.attributes.at("Id") == "INSTALLDIR" ? "|install" : e.attributes["Name"]});
            if (e.name != "File") continue;
            auto install = std::ranges::find(above, std::string("|install"), &std::pair<int, std::string>::second);
            ASSERT_NE(install, above.end()) << "a file outside the installation folder";
            std::string target;
            for (auto it = install + 1; it != above.end(); ++it) target += it->second + "/";
            fileAt[target + e.attributes.at("Name")] = e.attributes.at("Source");
        }
        EXPECT_EQ(fileAt, (std::map<std::string, std::string>{{"Hello.exe", "Hello.exe"},
                                                             {"lib/greeting.jar", "../s/greeting.jar"},
                                                             {"jre/bin/java.exe", "../r/bin/java.exe"},
                                                             {"jre/bin/server/jvm.dll", "../r/bin/server/jvm.dll"},
                                                             {"icons/hello.ico", "../i/doc.ico"}}))
            << source;
        std::multiset<std::string> components, refs;
        std::set<std::string> guids, ids;
        for (const Element& e : named(all, "Component")) {
            components.insert(e.attributes.at("Id"));
            guids.insert(e.attributes.at("Guid"));
            EXPECT_TRUE(std::regex_match(e.attributes.at("Guid"), std::regex(R"(\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\})")));
        }
        for (const Element& e : named(all, "ComponentRef")) refs.insert(e.attributes.at("Id"));
        EXPECT_EQ(components, refs);
        EXPECT_EQ(guids.size(), components.size());
        for (const Element& e : all)
            if (e.attributes.contains("Id") && e.name != "Product" && e.name != "Media") {
                const std::string& id = e.attributes.at("Id");
                EXPECT_LE(id.size(), 72u) << id;
                EXPECT_TRUE(std::regex_match(id, std::regex("[A-Za-z_][A-Za-z0-9_.]*"))) << id;
                if (e.name != "ComponentRef") {
                    EXPECT_TRUE(ids.insert(e.name + id).second) << "twice: " << id;
                }
            }
        // The scope decides the package's scope, its folder and where associations live.
        bool user = scope == InstallScope::PerUser;
        EXPECT_EQ(named(all, "Package").at(0).attributes.at("InstallScope"), user ? "perUser" : "perMachine");
        EXPECT_EQ(source.find(user ? "ProgramFiles64Folder" : "LocalAppDataFolder"), std::string::npos);
        std::map<std::string, std::string> values;
        for (const Element& e : named(all, "RegistryValue")) {
            EXPECT_EQ(e.attributes.at("Root"), user ? "HKCU" : "HKLM");
            values[e.attributes.at("Key") + (e.attributes.contains("Name") ? "@" + e.attributes.at("Name") : "")] =
                e.attributes.at("Value");
        }
        EXPECT_EQ(values.at("Software\\Classes\\.hello"), "HelloCo.hello");
        EXPECT_EQ(values.at("Software\\Classes\\.hello@Content Type"), "application/x-hello");
        EXPECT_EQ(values.at("Software\\Classes\\HelloCo.hello\\shell\\open\\command"), "&quot;[#Launcher]&quot; &quot;%1&quot;");
        EXPECT_EQ(values.at("Software\\Classes\\HelloCo.hi\\DefaultIcon"), "&quot;[#Launcher]&quot;,0");
        EXPECT_EQ(values.at("Software\\Classes\\HelloCo.hello\\DefaultIcon"),
                  "&quot;[#" + rowId("f", "icons/hello.ico") + "]&quot;");
        EXPECT_EQ(named(all, "Shortcut").size(), 2u);
        EXPECT_EQ(named(all, "Product").at(0).attributes.at("Name"), "Hello &amp; &lt;Co&gt;");
        EXPECT_EQ(named(all, "MajorUpgrade").size(), 1u);
    }
}

TEST(WixSource, TwoFilesAtOnePlaceAreRefused) {
    PackageLayout l = sampleLayout(InstallScope::PerUser);
    l.files.push_back({"/x", "LIB/Greeting.jar"});
    EXPECT_EQ(test::errorOf([&] { wixSource(l); }), "the package would install two files as LIB/Greeting.jar");
    l.files.back() = {"/x", "hello.EXE"};
    EXPECT_EQ(test::errorOf([&] { wixSource(l); }), "the package would install two files as hello.EXE");
    l.files.back() = {"/x", "lib/greeting.jar/x"};
    EXPECT_EQ(test::errorOf([&] { wixSource(l); }), "lib/greeting.jar would be both a file and a folder");
}

// A major upgrade removes the old version's components; a place keeps its component
// across versions, and another product's never meets it.
TEST(WixSource, ComponentGuidsFollowTheProductAndThePlace) {
    const std::string a = "{6F1F3C2E-5A7B-4C1D-9E8F-0A1B2C3D4E5F}", b = "{6F1F3C2E-5A7B-4C1D-9E8F-0A1B2C3D4E50}";
    EXPECT_EQ(componentGuid(a, "lib/x.jar"), componentGuid(a, "LIB/X.jar"));
    std::set<std::string> seen{componentGuid(a, "lib/x.jar"), componentGuid(b, "lib/x.jar"), componentGuid(a, "lib/y.jar"),
                               componentGuid(a, "lib/x.jar2")};
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(rowId("f", "lib/x.jar"), rowId("f", "LIB/X.JAR").substr(0, 2) + "lib_x.jar" + rowId("f", "LIB/X.JAR").substr(11));
    EXPECT_NE(rowId("f", "lib/x.jar"), rowId("f", "lib_x.jar"));
    EXPECT_LE(rowId("f", std::string(300, 'a')).size(), 72u);
}

TEST_F(PackageTables, DefaultsComeFromTheLauncherAndTheRuntimeIsListedBelowJre) {
    BuildPlan plan = load(std::string(kMinimal) + "runtime = \"win-jre\"\n");
    PackageLayout l = planPackage(*plan.package, {dir_.path / "Hello.exe", "Hello", "2.3.4.5"});
    EXPECT_EQ(l.name, "Hello");
    EXPECT_EQ(l.version, "2.3.4");
    EXPECT_EQ(l.launcherTarget, "Hello.exe");
    ASSERT_EQ(l.files.size(), 2u);
    EXPECT_EQ(l.files[0].target, "jre/bin/java.exe");
    EXPECT_EQ(l.files[1].target, "jre/lib/modules");
    EXPECT_EQ(l.files[1].source, dir_.path / "win-jre/lib/modules");
    EXPECT_EQ(test::errorOf([&] { planPackage(*plan.package, {dir_.path / "a.exe", "A: B", "1.0.0.0"}); }).rfind(
                  "package.name (from the launcher's caption): ", 0),
              0u);
}

}  // namespace
}  // namespace kestro::tool::packaging
