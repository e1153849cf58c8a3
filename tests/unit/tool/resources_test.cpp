#include <gtest/gtest.h>

#include <algorithm>

#include "tool/config/config_loader.h"
#include "tool/resources/icon_resources.h"
#include "tool/resources/little_endian.h"
#include "tool/resources/manifest_resource.h"
#include "tool/resources/resource_export.h"
#include "tool/resources/resource_settings.h"
#include "tool/resources/version_resource.h"
#include "tool/toml/toml_writer.h"
#include "tool_test_support.h"

namespace kestro::tool::resources {
namespace {

using tool::test::readFile;

std::vector<uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }
std::vector<uint8_t> sampleIcon() { return bytes(readFile(KESTRO_SOURCE_DIR "/tests/data/sample.ico")); }

void set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    set16(b, at, uint16_t(v));
    set16(b, at + 2, uint16_t(v >> 16));
}
using test::errorOf;

TEST(IconResources, EveryImageBecomesAnIconNamedByTheGroupAndBack) {
    std::vector<uint8_t> ico = sampleIcon();
    std::vector<Resource> out = iconResources(ico);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].data.size(), 40u + 16 * 16 * 4 + 16 * 4);
    EXPECT_EQ(out[1].data[1], 'P');  // the PNG image, unchanged
    const Resource& group = out[2];
    EXPECT_EQ(std::tuple(out[0].type, out[0].id, out[1].id, group.type, group.id),
              std::tuple(kTypeIcon, 1, 2, kTypeGroupIcon, kIconGroupId));
    ASSERT_EQ(group.data.size(), 6u + 2 * 14);
    // Each entry is the file's directory entry, its offset replaced by the RT_ICON id.
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(std::equal(ico.begin() + 6 + 16 * i, ico.begin() + 18 + 16 * i, group.data.begin() + 6 + 14 * i));
        EXPECT_EQ(get16(group.data, 18 + 14 * i), i + 1);
    }
    EXPECT_EQ(describeResource(group, out), "icon: 16x16 32-bit, 32x32 PNG");
    // Back to the file, byte for byte, whatever order the entries come in.
    EXPECT_EQ(iconFile(group, std::vector<Resource>{out[2], out[1], out[0]}), ico);
    EXPECT_EQ(iconFile(group, std::span(out).first(1)), std::nullopt);  // an image is missing

    // A side of 0 is 256; images behind an unused gap give the same resources, and the
    // file comes back canonical.
    ico[6] = ico[7] = 0;
    EXPECT_EQ(readIconDirectory(ico)[0].width, 256u);
    std::vector<uint8_t> gapped(ico.begin(), ico.begin() + 38);
    gapped.insert(gapped.end(), 10, 0xEE);
    gapped.insert(gapped.end(), ico.begin() + 38, ico.end());
    set32(gapped, 6 + 12, 38 + 10);
    set32(gapped, 6 + 16 + 12, get32(ico, 6 + 16 + 12) + 10);
    out = iconResources(gapped);
    EXPECT_EQ(out, iconResources(ico));
    EXPECT_EQ(iconFile(out.back(), out), ico);
}

TEST(IconResources, AnythingElseIsNotAnIcon) {
    const std::vector<uint8_t> ico = sampleIcon();
    using Change = std::function<void(std::vector<uint8_t>&)>;
    const std::vector<std::pair<Change, std::string>> cases{
        {[](auto& b) { b.resize(4); }, "the file is shorter than an icon directory (6 bytes)"},
        {[](auto& b) { set16(b, 2, 2); },
         "the directory's reserved and type fields are 0 and 2, not 0 and 1 (a cursor has type 2)"},
        {[](auto& b) { set16(b, 0, 1); }, "the directory's reserved and type fields are 1 and 1"},
        {[](auto& b) { set16(b, 4, 0); }, "the directory lists no images"},
        {[](auto& b) { set16(b, 4, 500); }, "the directory lists 500 images but the file ends within it"},
        {[](auto& b) { b.resize(b.size() - 1); }, "image 2 of 2 lies beyond the end of the file (" +
                                                       std::to_string(ico.size() - 38 - 1128) +
                                                       " bytes at offset 1166, the file has 1269)"},
        {[](auto& b) { set32(b, 6 + 12, 0xFFFFFFF0); }, "image 1 of 2 lies beyond the end o"},
        {[](auto& b) { set32(b, 6 + 12, 2); }, "image 1 of 2 overlaps the directory"},
        {[](auto& b) { b[38] = 'x'; }, "image 1 of 2 is neither PNG data nor a bitmap"},
    };
    for (const auto& [change, message] : cases) {
        std::vector<uint8_t> b = ico;
        change(b);
        std::string expected = "not an icon: " + message;
        EXPECT_EQ(errorOf([&] { iconResources(b); }).substr(0, expected.size()), expected);
    }
}

// A PNG image is an icon of that one image, stored as PNG; one larger than an icon's
// largest image, or without its header, is not.
TEST(IconResources, APngImageIsAnIconOfThatImage) {
    const std::vector<uint8_t> ico = sampleIcon();
    const std::vector<uint8_t> png(ico.begin() + 1166, ico.end());  // the sample's 32x32 PNG image
    std::vector<Resource> out = iconResources(png);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].data, png);
    EXPECT_EQ(describeResource(out[1], out), "icon: 32x32 PNG");
    EXPECT_EQ(iconFile(out[1], out), iconFileFromPng(png));  // inspect --toml gives it back as a .ico
    const unsigned channels[] = {1, 0, 3, 1, 2, 0, 4};  // by the PNG's colour type
    EXPECT_EQ(readIconDirectory(iconFileFromPng(png))[0].bitCount, 8u * channels[png[25]]);

    struct Case {
        size_t at;
        uint8_t value;
        std::string error;  // "" for an icon
    };
    for (const Case& c : std::initializer_list<Case>{
             {18, 1, "the PNG image is 288x32 pixels; an icon's image is at most 256x256"},
             {23, 0, "the PNG image is 32x0 pixels; an icon's image is at most 256x256"},
             {12, 'i', "the PNG image has no header (IHDR) where its signature ends"},
             {png.size(), 0, "the PNG image has no header (IHDR) where its signature ends"},  // cut to its signature
         }) {
        std::vector<uint8_t> b = png;
        if (c.at < b.size()) b[c.at] = c.value;
        else b.resize(8);
        EXPECT_EQ(errorOf([&] { iconResources(b); }), "not an icon: " + c.error) << c.at;
    }
    std::vector<uint8_t> largest = png;
    largest[18] = largest[22] = 1, largest[19] = largest[23] = 0;  // 256x256
    std::vector<uint8_t> wrapped = iconFileFromPng(largest);
    EXPECT_EQ(std::vector(wrapped.begin() + 6, wrapped.begin() + 8), (std::vector<uint8_t>{0, 0}));  // 256 as 0
}

TEST(VersionResource, DecodesWhatItWritesAndRefusesDamage) {
    VersionInfo info;
    info.strings = {"Ünïcode Ltd", "Demo 😀", "1.2.3", "Demo", "© 2026", "Demo.exe", "Demo Product", "1.2"};
    info.fileVersion = {1, 2, 3, 0};
    std::vector<uint8_t> data = versionResource(info);
    EXPECT_EQ(decodeVersionResource(data), info);
    for (size_t cut : {size_t(0), size_t(5), data.size() / 2, data.size() - 1})
        EXPECT_EQ(decodeVersionResource(std::vector<uint8_t>(data.begin(), data.begin() + long(cut))), std::nullopt);
    std::vector<uint8_t> bad = data;
    set16(bad, 92, 0xFFFF);  // a child longer than its parent
    EXPECT_EQ(decodeVersionResource(bad), std::nullopt);
    bad = data;
    bad[40] ^= 1;  // no signature
    EXPECT_EQ(decodeVersionResource(bad), std::nullopt);
}

TEST(VersionResource, VersionNumbersAreThreeOrFourSmallNumbers) {
    EXPECT_EQ(parseVersionNumbers("1.2.3"), (VersionNumbers{1, 2, 3, 0}));
    EXPECT_EQ(parseVersionNumbers("65535.0.0.65535"), (VersionNumbers{65535, 0, 0, 65535}));
    const std::string form = "; write three or four numbers from 0 to 65535 separated by dots, such as \"1.2.3\" or "
                             "\"1.2.3.4\"";
    std::vector<std::pair<std::string, std::string>> cases{
        {"1.2", "\"1.2\" has fewer than three parts" + form},
        {"1.2.3.4.5", "\"1.2.3.4.5\" has more than four parts" + form},
        {"1.65536.0", "\"1.65536.0\": 65536 is above 65535, the largest part a Windows version number has"},
        {"99999999999999999999.0.0", "\"99999999999999999999.0.0\": 99999999999999999999 is above 65535, the largest "
                                     "part a Windows version number has"}};
    for (std::string text : {"1.2.x", "1..2", "1.2.3.", "-1.2.3", " 1.2.3", "v1.2.3", ""})
        cases.emplace_back(text, "\"" + text + "\" is not a version number" + form);
    for (const auto& [text, message] : cases) EXPECT_EQ(errorOf([&] { parseVersionNumbers(text); }), message);
}

TEST(ManifestResource, GeneratedManifestsDecodeBackForEveryChoice) {
    using enum ExecutionLevel;
    for (auto level : {AsInvoker, RequireAdministrator, HighestAvailable})
        for (bool dpi : {true, false})
            for (bool longPaths : {true, false}) {
                ManifestSettings settings{"My_App.x-1", {1, 2, 3, 4}, level, dpi, longPaths};
                std::string xml = generateManifest(settings);
                EXPECT_EQ(decodeGeneratedManifest(xml), settings) << xml;
                EXPECT_EQ(manifestProblem(xml), std::nullopt);
                EXPECT_EQ(requestedExecutionLevel(xml), executionLevelName(level));
                EXPECT_EQ(xml.find("dpiAwareness") != std::string::npos, dpi);
                EXPECT_EQ(describeResource({kTypeManifest, 1, kLanguage, bytes(xml)}, {}),
                          "manifest: " + std::string(executionLevelName(level)));
            }
    EXPECT_EQ(decodeGeneratedManifest(generateManifest({}) + " "), std::nullopt);
    EXPECT_EQ(decodeGeneratedManifest("<assembly/>"), std::nullopt);
    EXPECT_EQ(assemblyName("My App (x64)"), "My_App__x64_");
    EXPECT_EQ(assemblyName(""), "Application");
}

TEST(ManifestResource, AUserManifestNeedsAnAssemblyRoot) {
    const std::string mine = "\xEF\xBB\xBF<?xml version='1.0'?>\n<!-- mine -->\n<asmv1:assembly xmlns:asmv1='x'>"
                             "<ms:requestedExecutionLevel level='requireAdministrator'/></asmv1:assembly>\n";
    EXPECT_EQ(requestedExecutionLevel(mine), "requireAdministrator");
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {mine, std::nullopt},
        {"<assemblyX></assemblyX>", "its first element is not <assembly> (a manifest is XML whose root is <assembly "
                                    "xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">)"},
        {"<!-- unterminated <assembly></assembly>", manifestProblem("<assemblyX></assemblyX>")},
        {"<assembly>", "it does not end with </assembly>"},
        {std::string("<\0a", 3), "it contains a zero byte (a manifest is UTF-8 text; save it as UTF-8, not UTF-16)"},
        {"<assembly>\xFF</assembly>", "it is not UTF-8 text"},
    };
    for (const auto& [xml, problem] : cases) EXPECT_EQ(manifestProblem(xml), problem) << xml;
}

// What the output's name gives, and that the settings override it.
TEST(ResourceSettings, DefaultsComeFromTheOutputsName) {
    ResourceRequest request;
    std::vector<Resource> out = resolveResources(request, "/out/My App.exe");
    ASSERT_EQ(out.size(), 2u);
    auto version = decodeVersionResource(out[0].data);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->strings,
              (VersionStrings{"", "My App", "1.0.0.0", "My App", "", "My App.exe", "My App", "1.0.0.0"}));
    EXPECT_EQ(decodeGeneratedManifest(std::string(out[1].data.begin(), out[1].data.end())),
              (ManifestSettings{"My_App", {1, 0, 0, 0}}));

    request.version = {.fileVersion = "2.1.0", .productName = "Demo", .internalName = "demo-core"};
    request.manifest.level = ExecutionLevel::HighestAvailable;
    request.splashImage = bytes("BM...");
    out = resolveResources(request, "App.exe");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(std::pair(out[0].type, out[0].id), std::pair(kTypeRcData, kSplashImageId));
    version = decodeVersionResource(out[1].data);
    EXPECT_EQ(version->strings, (VersionStrings{"", "Demo", "2.1.0", "demo-core", "", "App.exe", "Demo", "2.1.0"}));
    EXPECT_EQ(version->productVersion, (VersionNumbers{2, 1, 0, 0}));
    EXPECT_EQ(decodeGeneratedManifest(std::string(out[2].data.begin(), out[2].data.end())),
              (ManifestSettings{"demo-core", {2, 1, 0, 0}, ExecutionLevel::HighestAvailable}));

    // Without the defaults, only the groups the file gives.
    const std::vector<std::pair<std::string, std::vector<uint16_t>>> groups{
        {"", {}}, {"[manifest]\ndpi_aware = false\n", {kTypeManifest}}, {"[version]\ncompany = \"X\"\n", {kTypeVersion}},
    };
    for (const auto& [group, types] : groups) {
        BuildPlan plan =
            loadConfiguration("application.main_class = \"a.B\"\nbuild.defaults = false\n" + group, "app.toml");
        std::vector<uint16_t> made;
        for (const Resource& r : resolveResources(plan.resourceRequest, "App.exe")) made.push_back(r.type);
        EXPECT_EQ(made, types) << group;
    }
}

class ResourceConfig : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<uint8_t> ico = sampleIcon();
        tool::test::writeFile(dir_ / "app.ico", std::string(ico.begin(), ico.end()));
        tool::test::writeFile(dir_ / "not.ico", "GIF89a");
        std::string big(ico.begin() + 1166, ico.end());  // the sample's PNG image, said to be 512x512
        big[18] = big[22] = 2, big[19] = big[23] = 0;
        tool::test::writeFile(dir_ / "big.png", big);
        tool::test::writeFile(dir_ / "empty.png", "");
        tool::test::writeFile(dir_ / "splash.png", "PNG bytes");
        tool::test::writeFile(dir_ / "app.manifest", "<assembly></assembly>");
        std::filesystem::create_directory(dir_ / "res");
        tool::test::writeFile(dir_ / "utf16.manifest", std::string("<\0a\0", 4));
    }
    BuildPlan load(const std::string& text) {
        return loadConfiguration("application.main_class = \"a.B\"\n" + text, dir_ / "app.toml");
    }
    // The problems, with the configuration's directory left out of every path.
    std::string problems(const std::string& text) {
        std::string message = tool::test::errorOf([&] { load(text); });
        for (size_t at; (at = message.find((dir_ / "").string())) != std::string::npos;)
            message.erase(at, (dir_ / "").string().size());
        return message;
    }
    static std::string stored(const BuildPlan& p, int32_t key) {
        for (const auto& e : p.head.strings)
            if (e.key == key) return e.value;
        return "absent";
    }
    tool::test::TempDir dir_;
};

// Problems of the resource settings name file, line and setting, like every other; a
// raw entry may not take the place of a resource that a setting or the defaults make.
TEST_F(ResourceConfig, ProblemsNameFileLineAndSetting) {
    const std::string raw = "[[resources]]\ntype = 16\nid = 1\nlanguage = 1033\nfile = \"app.ico\"\n";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[icon]\nfile = \"app.ico\"\n[splash]\nimage = \"app.ico\"\n", ""},
        {"[icon]\nfile = \"missing.ico\"\n", "app.toml:3: icon.file: icon file 'missing.ico' not found (looked for missing.ico)"},
        {"[icon]\nfile = \"not.ico\"\n", "app.toml:3: icon.file: 'not.ico' is not an icon: the directory's reserved"},
        {"[icon]\nfile = \"big.png\"\n", "app.toml:3: icon.file: 'big.png' is not an icon: the PNG image is 512x512 "
                                          "pixels; an icon's image is at most 256x256; icon.file takes a .ico file (its "
                                          "images stored as bitmaps or as PNG) or a PNG image of at most 256x256 pixels"},
        {"[splash]\nimage = \"none.png\"\n", "app.toml:3: splash.image: splash image 'none.png' not found (looked for"},
        {"[splash]\nimage = \"empty.png\"\n", "app.toml:3: splash.image: the splash image 'empty.png' is empty"},
        {"[version]\nfile_version = \"1.x\"\nproduct_version = 1\n",
         "app.toml:3: version.file_version: \"1.x\" is not a version number\n"
         "app.toml:4: version.product_version: expected a string, got an integer"},
        {"[manifest]\nexecution_level = \"admin\"\n", "app.toml:3: manifest.execution_level: unknown execution level"},
        {"[manifest]\nfile = \"utf16.manifest\"\n",
         "app.toml:3: manifest.file: 'utf16.manifest' is not a manifest: it contains a zero byte"},
        {"[manifest]\nfile = \"app.manifest\"\ndpi_aware = false\n",
         "app.toml:4: manifest.dpi_aware: the manifest comes from manifest.file (line 3), which replaces the generated"},
        {"[manifest]\ngenerate = false\nfile = \"app.manifest\"\n",
         "app.toml:4: manifest.file: manifest.generate = false (line 3) writes no manifest; remove one of the two"},
        {"[version]\ncompnay = \"x\"\n[icons]\nfile = \"app.ico\"\n[splash]\nimages = \"app.ico\"\n",
         "app.toml:3: unknown setting 'version.compnay' (did you mean 'version.company'?)\n"
         "app.toml:4: unknown setting 'icons' (did you mean 'icon'?)\n"
         "app.toml:7: unknown setting 'splash.images' (did you mean 'splash.image'?)"},
        // Raw entries.
        {raw, "app.toml:2: resources[0]: resource 16/1/1033 (type/id/language) is also made by the version "
              "information the build writes by default (set version.generate = false to give your own)"},
        {"version.generate = false\n" + raw, ""},
        {"build.defaults = false\n" + raw, ""},
        {"icon.file = \"app.ico\"\n[[resources]]\ntype = 3\nid = 2\nlanguage = 1033\nfile = \"app.ico\"\n",
         "app.toml:3: resources[0]: resource 3/2/1033 (type/id/language) is also made by 'icon.file' (line 2)"},
        {"[[resources]]\ntype = 10\nid = 1\nfile = \"app.ico\"\n[[resources]]\ntype = 10\nid = 1\nfile = \"app.ico\"\n",
         "app.toml:6: resources[1]: resource 10/1/0 (type/id/language) is also made by 'resources[0]' (line 2)"},
        {"[[resources]]\ntype = 0\nid = 70000\nlanguage = -1\nfile = \"app.ico\"\n",
         "app.toml:3: resources[0].type: expected a type number from 1 to 65535, got 0\n"
         "app.toml:4: resources[0].id: expected an id from 1 to 65535, got 70000\n"
         "app.toml:5: resources[0].language: expected a language id from 0 to 65535, got -1"},
        {"[[resources]]\ntype = \"icon\"\nfiel = \"app.ico\"\n",
         "app.toml:2: resources[0].id: a resource needs an id\napp.toml:2: resources[0].file: a resource needs a file\n"
         "app.toml:3: resources[0].type: expected a type number, got a string\n"
         "app.toml:4: unknown setting 'resources[0].fiel' (did you mean 'resources[0].file'?)"},
        {"[[resources]]\ntype = 10\nid = 1\nfile = \"gone.png\"\n[[resources]]\ntype = 10\nid = 2\nfile = \"res\"\n",
         "app.toml:5: resources[0].file: file 'gone.png' not found (looked for gone.png)\n"
         "app.toml:9: resources[1].file: 'res' is not a regular file (looked for res)"},
        {"resources = 3\n", "app.toml:2: resources: expected [[resources]] tables, got an integer"},
    };
    for (const auto& [text, expected] : cases) {
        std::string actual = problems(text);
        EXPECT_TRUE(tool::test::linesBegin(actual, expected)) << text << "\n" << actual;
    }
}

// An image is shown only with both splash keys on, which the defaults then set.
TEST_F(ResourceConfig, ASplashImageTurnsTheSplashOnUnlessTheFileSaysOtherwise) {
    struct Case {
        std::string text, enabled, runtime, warning;
    };
    const std::vector<Case> cases{
        {"", "1", "1", ""},
        {"splash.enabled = false\n", "0", "1",
         "splash.image is carried but not shown: the launcher shows it only when splash.enabled and "
         "splash.use_runtime_library are true, and splash.enabled is not"},
        {"build.defaults = false\n", "absent", "absent", "splash.enabled and splash.use_runtime_library are not"},
    };
    for (const Case& c : cases) {
        BuildPlan plan = load(c.text + "splash.image = \"splash.png\"\n");
        EXPECT_EQ(stored(plan, 108), c.enabled) << c.text;
        EXPECT_EQ(stored(plan, 10123), c.runtime) << c.text;
        std::string warnings;
        for (const auto& w : plan.warnings) warnings += w;
        EXPECT_EQ(warnings.empty(), c.warning.empty()) << warnings;
        EXPECT_NE(warnings.find(c.warning), std::string::npos) << warnings;
    }
}

// Prints `resources` as settings, writes the files they name, and builds them again
// under another output name: what no setting gives exactly stays raw, and nothing is
// generated in its place.
TEST(ResourceExport, WhatNoSettingGivesExactlyStaysRaw) {
    ResourceRequest request;
    request.icon = iconResources(sampleIcon());
    const std::vector<Resource> clean = resolveResources(request, "Demo.exe");
    std::vector<Resource> odd = clean;
    odd[0].id = 7;                                   // an icon the group does not name as the build numbers them
    odd.back().data.push_back(' ');                  // a manifest with a byte more: still the user's file
    odd[3].data[odd[3].data.size() - 2] = 0x05;      // version information of another language
    std::ranges::sort(odd, byPlace);
    struct Case {
        std::vector<Resource> resources;
        bool defaults;
        size_t raw;
        std::string printed;
    };
    const std::vector<Case> cases{
        {clean, true, 0, "[icon]\nfile = "},
        {odd, true, 4, "[manifest]\nfile = "},
        {{clean.back()}, true, 0, "[version]\ngenerate = false\n"},
        {{clean.back()}, false, 0, "[manifest]\n"},
        {{{kTypeManifest, 1, kLanguage, bytes("not xml")}}, true, 1, "[manifest]\ngenerate = false\n"},
        {{}, true, 0, ""},
        {{}, false, 0, ""},
    };
    for (const Case& c : cases) {
        tool::test::TempDir dir;
        ResourceExport out = exportResources(c.resources, c.defaults, true,
                                             [&](const std::string& name) { return (dir / name).string(); });
        for (const ResourceFile& file : out.files)
            tool::test::writeFile(dir / file.name, std::string(file.data.begin(), file.data.end()));
        std::string toml = "application.main_class = \"a.B\"\nbuild.defaults = " +
                           std::string(c.defaults ? "true" : "false") + "\n" + out.tables;
        BuildPlan plan = loadConfiguration(toml, dir / "app.toml");
        std::vector<Resource> again = resolveResources(plan.resourceRequest, "Other.exe");
        again.insert(again.end(), out.raw.begin(), out.raw.end());
        std::ranges::sort(again, byPlace);
        EXPECT_EQ(again, c.resources) << out.tables;
        EXPECT_EQ(out.raw.size(), c.raw) << out.tables;
        EXPECT_NE(out.tables.find(c.printed), std::string::npos) << out.tables;
    }
    // A splash image in a block without the splash keys: the defaults would add them.
    std::vector<Resource> splash{{kTypeRcData, kSplashImageId, kLanguage, bytes("GIF89a")}};
    auto same = [](const std::string& name) { return name; };
    EXPECT_EQ(exportResources(splash, true, false, same).raw, splash);
    EXPECT_TRUE(exportResources(splash, false, false, same).raw.empty());
}

}  // namespace
}  // namespace kestro::tool::resources
