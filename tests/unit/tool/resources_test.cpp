#include <gtest/gtest.h>

#include <algorithm>

#include "tool/code_page.h"
#include "tool/config_loader.h"
#include "tool/toml_writer.h"
#include "tool/resources/icon_resources.h"
#include "tool/resources/manifest_resource.h"
#include "tool/resources/resource_export.h"
#include "tool/resources/resource_settings.h"
#include "tool/resources/version_resource.h"
#include "tool_test_support.h"

namespace kestro::tool::resources {
namespace {

using tool::test::readFile;

std::vector<uint8_t> bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> sampleIcon() { return bytes(readFile(KESTRO_SOURCE_DIR "/tests/data/sample.ico")); }

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, uint16_t(v));
    put16(b, at + 2, uint16_t(v >> 16));
}
// What loading `text` (after a main class) from dir/app.toml reports, or "accepted".
std::string loadProblems(const std::filesystem::path& dir, const std::string& text) {
    try {
        loadConfiguration("application.main_class = \"a.B\"\n" + text, dir / "app.toml");
    } catch (const ConfigError& e) {
        return e.what();
    }
    return "accepted";
}

uint16_t get16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

TEST(IconResources, EveryImageBecomesAnIconNamedByTheGroup) {
    std::vector<uint8_t> ico = sampleIcon();
    std::vector<Resource> out = iconResources(ico);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].type, kTypeIcon);
    EXPECT_EQ(out[0].id, 1);
    EXPECT_EQ(out[1].id, 2);
    EXPECT_EQ(out[0].data.size(), 40u + 16 * 16 * 4 + 16 * 4);
    EXPECT_EQ(out[1].data[1], 'P');  // the PNG image, unchanged
    const Resource& group = out[2];
    EXPECT_EQ(group.type, kTypeGroupIcon);
    EXPECT_EQ(group.id, kIconGroupId);
    ASSERT_EQ(group.data.size(), 6u + 2 * 14);
    EXPECT_EQ(get16(group.data, 6 + 12), 1);       // the last field names the RT_ICON entry
    EXPECT_EQ(get16(group.data, 6 + 14 + 12), 2);
    EXPECT_EQ(describeImages(readIconDirectory(ico)), "16x16 32-bit, 32x32 PNG");

    // Back to the file, byte for byte, whatever order the entries come in.
    std::vector<Resource> shuffled{out[2], out[1], out[0]};
    EXPECT_EQ(iconFile(group, shuffled), ico);
    EXPECT_EQ(iconFile(group, std::span(out).first(1)), std::nullopt);  // an image is missing
}

TEST(IconResources, ASideOfZeroIs256AndAGappedFileStillDecodes) {
    std::vector<uint8_t> ico = sampleIcon();
    ico[6] = ico[7] = 0;
    EXPECT_EQ(readIconDirectory(ico)[0].width, 256u);
    // Images behind an unused gap: the resources are the same, the file comes back canonical.
    std::vector<uint8_t> gapped(ico.begin(), ico.begin() + 38);
    gapped.insert(gapped.end(), 10, 0xEE);
    gapped.insert(gapped.end(), ico.begin() + 38, ico.end());
    put32(gapped, 6 + 12, 38 + 10);
    put32(gapped, 6 + 16 + 12, uint32_t(ico[6 + 16 + 12] | ico[6 + 16 + 13] << 8) + 10);
    std::vector<Resource> out = iconResources(gapped);
    EXPECT_EQ(out, iconResources(ico));
    EXPECT_EQ(iconFile(out.back(), out), ico);
}

TEST(IconResources, AnythingElseIsNotAnIcon) {
    std::vector<uint8_t> ico = sampleIcon();
    auto broken = [&](auto change) {
        std::vector<uint8_t> b = ico;
        change(b);
        try {
            iconResources(b);
        } catch (const ResourceError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(broken([](auto& b) { b.resize(4); }),
              "not an icon: the file is shorter than an icon directory (6 bytes)");
    EXPECT_EQ(broken([](auto& b) { put16(b, 2, 2); }),
              "not an icon: the directory's reserved and type fields are 0 and 2, not 0 and 1 (a cursor has type 2)");
    EXPECT_EQ(broken([](auto& b) { put16(b, 0, 1); }).substr(0, 49),
              "not an icon: the directory's reserved and type fi");
    EXPECT_EQ(broken([](auto& b) { put16(b, 4, 0); }), "not an icon: the directory lists no images");
    EXPECT_EQ(broken([](auto& b) { put16(b, 4, 500); }),
              "not an icon: the directory lists 500 images but the file ends within it");
    EXPECT_EQ(broken([](auto& b) { b.resize(b.size() - 1); }),
              "not an icon: image 2 of 2 lies beyond the end of the file (" + std::to_string(ico.size() - 38 - 1128) +
                  " bytes at offset 1166, the file has 1269)");
    EXPECT_EQ(broken([](auto& b) { put32(b, 6 + 12, 0xFFFFFFF0); }).substr(0, 47),
              "not an icon: image 1 of 2 lies beyond the end o");
    EXPECT_EQ(broken([](auto& b) { put32(b, 6 + 12, 2); }), "not an icon: image 1 of 2 overlaps the directory");
    EXPECT_EQ(broken([](auto& b) { b[38] = 'x'; }), "not an icon: image 1 of 2 is neither PNG data nor a bitmap");
    EXPECT_EQ(broken([](auto& b) { b = bytes("\x89PNG\r\n\x1a\n rest of a PNG file"); }).substr(0, 40),
              "not an icon: the directory's reserved an");
}

TEST(VersionResource, LayoutFollowsTheFormatToTheByte) {
    VersionInfo info;
    info.fileVersion = {1, 2, 3, 4};
    info.productVersion = {5, 6, 7, 8};
    info.strings.productName = "A";
    std::vector<uint8_t> data = versionResource(info);
    // VS_VERSION_INFO header: its key ends at 6 + 32 = 38, the fixed part starts aligned at 40.
    EXPECT_EQ(get16(data, 0), data.size());
    EXPECT_EQ(get16(data, 2), 52);
    EXPECT_EQ(get16(data, 4), 0);
    EXPECT_EQ(get16(data, 40), 0x04BD);
    EXPECT_EQ(get16(data, 42), 0xFEEF);
    EXPECT_EQ(get16(data, 48), 2);  // file version MS: 1 << 16 | 2
    EXPECT_EQ(get16(data, 50), 1);
    EXPECT_EQ(get16(data, 56), 6);  // product version MS low word
    EXPECT_EQ(get16(data, 64), 0x3F);
    EXPECT_EQ(get16(data, 72), 4);  // VOS_NT_WINDOWS32 0x40004
    EXPECT_EQ(get16(data, 74), 4);
    EXPECT_EQ(get16(data, 76), 1);  // VFT_APP
    // StringFileInfo at 92: "StringFileInfo" ends at 92 + 6 + 30 = 128; its table follows.
    EXPECT_EQ(get16(data, 96), 1);
    size_t table = 128;
    EXPECT_EQ(get16(data, table + 6), u'0');
    // The table's one String: "ProductName" ends at +6+24 = 30, value aligned at 32, "A\0".
    size_t string = table + 6 + 18;  // "040904B0" and its terminator end aligned
    EXPECT_EQ(get16(data, string + 2), 2);  // words, with the terminator
    EXPECT_EQ(get16(data, string + 4), 1);
    EXPECT_EQ(get16(data, string + 32), u'A');
    EXPECT_EQ(get16(data, string), 36);     // the length stops after the value, before padding
    // VarFileInfo/Translation: 0x0409, 1200 at the very end.
    EXPECT_EQ(get16(data, data.size() - 4), 0x0409);
    EXPECT_EQ(get16(data, data.size() - 2), 1200);
    EXPECT_EQ(decodeVersionResource(data), info);
}

TEST(VersionResource, DecodesWhatItWritesAndRefusesDamage) {
    VersionInfo info;
    info.strings = {"Ünïcode Ltd", "Demo 😀", "1.2.3", "Demo", "© 2026", "Demo.exe", "Demo Product", "1.2"};
    info.fileVersion = {1, 2, 3, 0};
    std::vector<uint8_t> data = versionResource(info);
    EXPECT_EQ(decodeVersionResource(data), info);
    for (size_t cut : {size_t(0), size_t(5), data.size() / 2, data.size() - 1}) {
        std::vector<uint8_t> shorter(data.begin(), data.begin() + cut);
        EXPECT_EQ(decodeVersionResource(shorter), std::nullopt) << cut;
    }
    std::vector<uint8_t> bad = data;
    put16(bad, 92, 0xFFFF);  // a child longer than its parent
    EXPECT_EQ(decodeVersionResource(bad), std::nullopt);
    bad = data;
    bad[40] ^= 1;  // no signature
    EXPECT_EQ(decodeVersionResource(bad), std::nullopt);
}

TEST(VersionResource, VersionNumbersAreThreeOrFourSmallNumbers) {
    EXPECT_EQ(parseVersionNumbers("1.2.3"), (VersionNumbers{1, 2, 3, 0}));
    EXPECT_EQ(parseVersionNumbers("65535.0.0.65535"), (VersionNumbers{65535, 0, 0, 65535}));
    auto error = [](std::string_view text) {
        try {
            parseVersionNumbers(text);
        } catch (const ResourceError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    const std::string form = "; write three or four numbers from 0 to 65535 separated by dots, such as \"1.2.3\" or "
                             "\"1.2.3.4\"";
    EXPECT_EQ(error("1.2"), "\"1.2\" has fewer than three parts" + form);
    EXPECT_EQ(error("1.2.3.4.5"), "\"1.2.3.4.5\" has more than four parts" + form);
    for (std::string_view text : {"1.2.x", "1..2", "1.2.3.", "-1.2.3", " 1.2.3", "v1.2.3", ""})
        EXPECT_EQ(error(text), "\"" + std::string(text) + "\" is not a version number" + form);
    EXPECT_EQ(error("1.65536.0"), "\"1.65536.0\": 65536 is above 65535, the largest part a Windows version number has");
    EXPECT_EQ(error("99999999999999999999.0.0"), "\"99999999999999999999.0.0\": 99999999999999999999 is above 65535, "
                                                 "the largest part a Windows version number has");
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
            }
    std::string xml = generateManifest({});
    EXPECT_EQ(decodeGeneratedManifest(xml + " "), std::nullopt);
    EXPECT_EQ(decodeGeneratedManifest("<assembly/>"), std::nullopt);
    EXPECT_EQ(assemblyName("My App (x64)"), "My_App__x64_");
    EXPECT_EQ(assemblyName(""), "Application");
}

TEST(ManifestResource, AUserManifestNeedsAnAssemblyRoot) {
    EXPECT_EQ(manifestProblem("\xEF\xBB\xBF<?xml version='1.0'?>\n<!-- mine -->\n<asmv1:assembly xmlns:asmv1='x'>"
                              "<ms:requestedExecutionLevel level='requireAdministrator'/></asmv1:assembly>\n"),
              std::nullopt);
    EXPECT_EQ(requestedExecutionLevel("<ms:requestedExecutionLevel level='requireAdministrator'/>"),
              "requireAdministrator");
    EXPECT_EQ(manifestProblem("<assemblyX></assemblyX>"),
              "its first element is not <assembly> (a manifest is XML whose root is <assembly "
              "xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">)");
    EXPECT_EQ(manifestProblem("<assembly>"), "it does not end with </assembly>");
    EXPECT_EQ(manifestProblem("<!-- unterminated <assembly></assembly>").value_or("").substr(0, 30),
              "its first element is not <asse");
    EXPECT_EQ(manifestProblem(std::string("<\0a", 3)),
              "it contains a zero byte (a manifest is UTF-8 text; save it as UTF-8, not UTF-16)");
    EXPECT_EQ(manifestProblem("<assembly>\xFF</assembly>"), "it is not UTF-8 text");
}

// What the output's name gives, and that the settings override it.
TEST(ResourceSettings, DefaultsComeFromTheOutputsName) {
    ResourceRequest request;
    std::vector<Resource> out = resolveResources(request, "/out/My App.exe");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].type, kTypeVersion);
    auto version = decodeVersionResource(out[0].data);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->strings,
              (VersionStrings{"", "My App", "1.0.0.0", "My App", "", "My App.exe", "My App", "1.0.0.0"}));
    std::string xml(out[1].data.begin(), out[1].data.end());
    EXPECT_EQ(decodeGeneratedManifest(xml), (ManifestSettings{"My_App", {1, 0, 0, 0}}));

    request.version = {.fileVersion = "2.1.0", .productName = "Demo", .internalName = "demo-core"};
    request.manifest.level = ExecutionLevel::HighestAvailable;
    request.splashImage = bytes("BM...");
    out = resolveResources(request, "App.exe");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].type, kTypeRcData);
    EXPECT_EQ(out[0].id, kSplashImageId);
    version = decodeVersionResource(out[1].data);
    EXPECT_EQ(version->strings, (VersionStrings{"", "Demo", "2.1.0", "demo-core", "", "App.exe", "Demo", "2.1.0"}));
    EXPECT_EQ(version->productVersion, (VersionNumbers{2, 1, 0, 0}));
    EXPECT_EQ(decodeGeneratedManifest(std::string(out[2].data.begin(), out[2].data.end())),
              (ManifestSettings{"demo-core", {2, 1, 0, 0}, ExecutionLevel::HighestAvailable}));

    // Without the defaults, only the groups the file gives.
    ResourceRequest bare{.defaults = false};
    EXPECT_TRUE(resolveResources(bare, "App.exe").empty());
    bare.manifestGiven = true;
    EXPECT_EQ(resolveResources(bare, "App.exe").size(), 1u);
}

// Problems of the resource settings name file, line and setting, like every other.
TEST(ResourceSettings, ProblemsNameFileLineAndSetting) {
    tool::test::TempDir dir;
    std::vector<uint8_t> ico = sampleIcon();
    tool::test::writeFile(dir / "app.ico", std::string(ico.begin(), ico.end()));
    tool::test::writeFile(dir / "not.ico", "GIF89a");
    tool::test::writeFile(dir / "empty.png", "");
    tool::test::writeFile(dir / "app.manifest", "<assembly></assembly>");
    tool::test::writeFile(dir / "utf16.manifest", std::string("<\0a\0", 4));
    auto problems = [&](const std::string& text) { return loadProblems(dir.path, text); };
    std::string toml = (dir / "app.toml").string();
    EXPECT_EQ(problems("[icon]\nfile = \"app.ico\"\n[splash]\nimage = \"app.ico\"\n"), "accepted");
    EXPECT_EQ(problems("[icon]\nfile = \"missing.ico\"\n"),
              toml + ":3: icon.file: icon file 'missing.ico' not found (looked for " + (dir / "missing.ico").string() +
                  ")");
    EXPECT_EQ(problems("[icon]\nfile = \"not.ico\"\n"),
              toml + ":3: icon.file: 'not.ico' is not an icon: the directory's reserved and type fields are 18759 and "
                     "14406, not 0 and 1 (a cursor has type 2)");
    EXPECT_TRUE(problems("[splash]\nimage = \"none.png\"\n")
                    .starts_with(toml + ":3: splash.image: splash image 'none.png' not found (looked for"));
    EXPECT_EQ(problems("[splash]\nimage = \"empty.png\"\n"),
              toml + ":3: splash.image: the splash image 'empty.png' is empty");
    EXPECT_EQ(problems("[version]\nfile_version = \"1.x\"\nproduct_version = \"1.2.70000\"\n"),
              toml + ":3: version.file_version: \"1.x\" is not a version number; write three or four numbers from 0 to "
                     "65535 separated by dots, such as \"1.2.3\" or \"1.2.3.4\"\n" +
                  toml + ":4: version.product_version: \"1.2.70000\": 70000 is above 65535, the largest part a Windows "
                         "version number has");
    EXPECT_EQ(problems("[version]\nfile_version = 1\n"),
              toml + ":3: version.file_version: expected a string, got an integer");
    EXPECT_EQ(problems("[manifest]\nexecution_level = \"admin\"\n"),
              toml + ":3: manifest.execution_level: unknown execution level \"admin\"; expected \"asInvoker\", "
                     "\"requireAdministrator\" or \"highestAvailable\"");
    EXPECT_EQ(problems("[manifest]\nfile = \"utf16.manifest\"\n"),
              toml + ":3: manifest.file: 'utf16.manifest' is not a manifest: it contains a zero byte (a manifest is "
                     "UTF-8 text; save it as UTF-8, not UTF-16)");
    EXPECT_EQ(problems("[manifest]\nfile = \"app.manifest\"\ndpi_aware = false\n"),
              toml + ":4: manifest.dpi_aware: the manifest comes from manifest.file (line 3), which replaces the "
                     "generated one; set this in that file instead");
    EXPECT_EQ(problems("[manifest]\ngenerate = false\nfile = \"app.manifest\"\n"),
              toml + ":4: manifest.file: manifest.generate = false (line 3) writes no manifest; remove one of the two");
    EXPECT_EQ(problems("[version]\ncompnay = \"x\"\n[icons]\nfile = \"app.ico\"\n"),
              toml + ":3: unknown setting 'version.compnay' (did you mean 'version.company'?)\n" + toml +
                  ":4: unknown setting 'icons' (did you mean 'icon'?)");
    EXPECT_EQ(problems("[splash]\nimages = \"app.ico\"\n"),
              toml + ":3: unknown setting 'splash.images' (did you mean 'splash.image'?)");
}

// A raw entry may not take the place of a resource that a setting or the defaults make:
// one of the two would be lost.
TEST(ResourceSettings, RawEntriesMayNotReplaceReadableOnes) {
    tool::test::TempDir dir;
    std::vector<uint8_t> ico = sampleIcon();
    tool::test::writeFile(dir / "app.ico", std::string(ico.begin(), ico.end()));
    auto problems = [&](const std::string& text) { return loadProblems(dir.path, text); };
    std::string toml = (dir / "app.toml").string();
    std::string raw = "[[resources]]\ntype = 16\nid = 1\nlanguage = 1033\nfile = \"app.ico\"\n";
    EXPECT_EQ(problems(raw), toml + ":2: resources[0]: resource 16/1/1033 (type/id/language) is also made by the "
                                    "version information the build writes by default (set version.generate = false "
                                    "to give your own)");
    EXPECT_EQ(problems("version.generate = false\n" + raw), "accepted");
    EXPECT_EQ(problems("build.defaults = false\n" + raw), "accepted");
    EXPECT_EQ(problems("icon.file = \"app.ico\"\n[[resources]]\ntype = 3\nid = 2\nlanguage = 1033\n"
                       "file = \"app.ico\"\n"),
              toml + ":3: resources[0]: resource 3/2/1033 (type/id/language) is also made by 'icon.file' (line 2)");
}

// An image is shown only with both splash keys on, which the defaults then set.
TEST(ResourceSettings, ASplashImageTurnsTheSplashOnUnlessTheFileSaysOtherwise) {
    tool::test::TempDir dir;
    tool::test::writeFile(dir / "s.bmp", "BM");
    auto plan = [&](const std::string& text) {
        return loadConfiguration("application.main_class = \"a.B\"\n" + text, dir / "app.toml");
    };
    auto value = [](const BuildPlan& p, int32_t key) {
        for (const auto& e : p.head.strings)
            if (e.key == key) return e.value;
        return std::string("absent");
    };
    BuildPlan on = plan("splash.image = \"s.bmp\"\n");
    EXPECT_EQ(value(on, 108), "1");
    EXPECT_EQ(value(on, 10123), "1");
    EXPECT_TRUE(on.warnings.empty());
    BuildPlan off = plan("splash.image = \"s.bmp\"\nsplash.enabled = false\n");
    EXPECT_EQ(value(off, 108), "0");
    EXPECT_EQ(value(off, 10123), "1");
    ASSERT_EQ(off.warnings.size(), 1u);
    EXPECT_NE(off.warnings[0].find(":2: warning: splash.image is carried but not shown: the launcher shows it only "
                                   "when splash.enabled and splash.use_runtime_library are true, and splash.enabled "
                                   "is not"),
              std::string::npos)
        << off.warnings[0];
    BuildPlan bare = plan("build.defaults = false\nsplash.image = \"s.bmp\"\n");
    EXPECT_EQ(value(bare, 108), "absent");
    ASSERT_EQ(bare.warnings.size(), 1u);
    EXPECT_NE(bare.warnings[0].find("splash.enabled and splash.use_runtime_library are not"), std::string::npos);
}

// Prints `resources` as settings, writes the files they name, and builds them again
// under another output name: the readable part must come back byte for byte.
std::vector<Resource> rebuilt(const std::vector<Resource>& resources, bool defaults,
                              ResourceExport* printed = nullptr) {
    tool::test::TempDir dir;
    ResourceExport out =
        exportResources(resources, defaults, true, [&](const std::string& name) { return (dir / name).string(); });
    for (const ResourceFile& file : out.files)
        tool::test::writeFile(dir / file.name, std::string(file.data.begin(), file.data.end()));
    std::string toml = "application.main_class = \"a.B\"\nbuild.defaults = " +
                       std::string(defaults ? "true" : "false") + "\n" +
                       (out.splashImage ? "splash.image = " + tomlString(*out.splashImage) + "\n" : "") + out.tables;
    BuildPlan plan = loadConfiguration(toml, dir / "app.toml");
    std::vector<Resource> again = resolveResources(plan.resourceRequest, "Other.exe");
    again.insert(again.end(), out.raw.begin(), out.raw.end());
    std::ranges::sort(again, byPlace);
    if (printed) *printed = out;
    return again;
}

TEST(ResourceExport, ReadableResourcesBuildAgainByteForByte) {
    tool::test::TempDir dir;
    ResourceRequest request;
    request.icon = iconResources(sampleIcon());
    request.splashImage = bytes("\x89PNG\r\n\x1a\n...");
    request.version = {.fileVersion = "2.1.0", .company = "Ünïcode Ltd", .productName = "Demo"};
    request.manifest = {.level = ExecutionLevel::RequireAdministrator, .dpiAware = false};
    std::vector<Resource> all = resolveResources(request, "/out/Demo App.exe");
    ResourceExport printed;
    EXPECT_EQ(rebuilt(all, true, &printed), all);
    EXPECT_TRUE(printed.raw.empty());
    EXPECT_NE(printed.tables.find("execution_level = \"requireAdministrator\"\ndpi_aware = false\n"), std::string::npos)
        << printed.tables;
    EXPECT_EQ(describeResource(all.back(), all), "manifest: requireAdministrator");
    EXPECT_EQ(describeResource(all[3], all), "icon: 16x16 32-bit, 32x32 PNG");

    // Without version information, the manifest keeps its name through the version table.
    std::vector<Resource> manifestOnly{all.back()};
    EXPECT_EQ(rebuilt(manifestOnly, true, &printed), manifestOnly);
    EXPECT_NE(printed.tables.find("[version]\ngenerate = false\n"), std::string::npos) << printed.tables;
    EXPECT_EQ(rebuilt(manifestOnly, false), manifestOnly);
    EXPECT_TRUE(rebuilt({}, true).empty());
    EXPECT_TRUE(rebuilt({}, false).empty());
}

// What no setting gives exactly stays raw, and nothing is generated in its place.
TEST(ResourceExport, AnythingElseStaysRaw) {
    ResourceRequest request;
    request.icon = iconResources(sampleIcon());
    std::vector<Resource> all = resolveResources(request, "Demo.exe");
    std::vector<Resource> odd = all;
    odd[0].id = 7;  // an icon the group does not name as the build numbers them
    odd.back().data.push_back(' ');  // a manifest with a byte more: still the user's file
    odd[3].data[odd[3].data.size() - 2] = 0x05;  // version information of another language
    std::ranges::sort(odd, byPlace);
    ResourceExport printed;
    EXPECT_EQ(rebuilt(odd, true, &printed), odd);
    EXPECT_EQ(printed.raw.size(), 4u);  // the icon group, its two images, the version information
    EXPECT_NE(printed.tables.find("[manifest]\nfile = "), std::string::npos) << printed.tables;
    // A splash image in a block without the splash keys: the defaults would add them.
    std::vector<Resource> splash{{kTypeRcData, kSplashImageId, kLanguage, bytes("GIF89a")}};
    EXPECT_EQ(exportResources(splash, true, false, [](const std::string& name) { return name; }).raw, splash);
    EXPECT_TRUE(exportResources(splash, false, false, [](const std::string& name) { return name; }).raw.empty());
    std::vector<Resource> broken{{kTypeManifest, 1, kLanguage, bytes("not xml")}};
    EXPECT_EQ(rebuilt(broken, true, &printed), broken);
    EXPECT_NE(printed.tables.find("[manifest]\ngenerate = false\n"), std::string::npos) << printed.tables;
}

}  // namespace
}  // namespace kestro::tool::resources
