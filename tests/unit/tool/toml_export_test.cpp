#include <gtest/gtest.h>

#include <algorithm>

#include "format/block_writer.h"
#include "tool/config/config_loader.h"
#include "tool/inspect/toml_export.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

// Prints `head` as a configuration and checks that loading it builds the same block.
void expectRoundTrip(const format::BlockHead& head, CodePage cp) {
    LauncherContents contents;
    contents.head = head;
    ExportResult printed = exportConfiguration(contents, cp, std::nullopt);
    EXPECT_EQ(format::serializeHead(loadConfiguration(printed.toml, "printed.toml").head), format::serializeHead(head))
        << printed.toml;
    EXPECT_TRUE(printed.notes.empty());
}

TEST(TomlExport, StoredTextsWithoutReadableFormGoUnderKeys) {
    format::BlockHead head = loadConfiguration("keys.2001 = \"x\"\nkeys.122 = \"a.B\"", "app.toml").head;
    std::erase_if(head.strings, [](const format::StringEntry& e) { return e.key == 122 || e.key == 128; });
    // "01" reads as true in the launcher but true stores "1"; the launcher drops the empty
    // item of "a;;b"; a lone surrogate and bytes invalid in UTF-8 have no text at all.
    head.strings.insert(head.strings.end(), {{102, "01"}, {122, std::string("a\0b", 3)}, {123, "a  b"}, {126, "java8"},
                                             {128, "Q"}, {152, std::string(200, 's')}, {10004, "a;;b"},
                                             {20000, std::string("\0\x81", 2)}});
    std::ranges::sort(head.strings, {}, &format::StringEntry::key);
    head.wides = {{1, std::u16string(1, char16_t(0xDC00))}};
    expectRoundTrip(head, CodePage::Windows1252);

    // Bounds that exclude each other, which the settings refuse.
    format::BlockHead bounds;
    bounds.strings = {{122, "a.B"}, {126, "11"}, {127, "1.8"}};
    expectRoundTrip(bounds, CodePage::Windows1252);

    format::BlockHead utf8;
    utf8.strings = {{122, "\xFF\xFE"}};
    expectRoundTrip(utf8, CodePage::Utf8);
}

// A printed file must build: without a main class it takes control of the defaults, and
// a kestro launcher's runtime library, if any, is among its listed files.
TEST(TomlExport, BuildOptionsFollowTheMainClassAndTheFlavour) {
    auto build = [](const std::string& text) {
        LauncherContents contents;
        contents.head = loadConfiguration(text, "app.toml").head;
        return exportConfiguration(contents, CodePage::Windows1252, std::nullopt).toml;
    };
    std::string kestro = build("application.main_class = \"a.B\"\n");
    EXPECT_NE(kestro.find("[build]\ncode_page = \"windows-1252\"\n# Any Java runtime library the launcher carries is "
                          "listed under [[files]].\ninclude_runtime_library = false\n"),
              std::string::npos)
        << kestro;
    std::string velmora = build("application.main_class = \"a.B\"\napplication.flavour = \"velmora\"\n");
    EXPECT_EQ(velmora.find("include_runtime_library"), std::string::npos) << velmora;
    std::string headless = build("build.defaults = false\nmessages.caption = \"Error\"\n");
    EXPECT_NE(headless.find("defaults = false\n"), std::string::npos) << headless;
    EXPECT_EQ(headless.find("include_runtime_library"), std::string::npos) << headless;

    format::BlockHead head = loadConfiguration("keys.122 = \"a.B\"\n", "app.toml").head;
    std::erase_if(head.strings, [](const format::StringEntry& e) { return e.key == 122; });
    expectRoundTrip(head, CodePage::Windows1252);
}

// The subsystem is said only where it differs from the application type's, and a
// printed file builds a launcher of the same subsystem.
TEST(TomlExport, SubsystemOtherThanTheApplicationTypesIsPrinted) {
    for (std::string type : {"", "application.type = \"console\"\n", "application.type = \"gui\"\n",
                             "keys.107 = \" 2x\"\n"}) {
        for (uint16_t subsystem : {2, 3}) {
            LauncherContents contents;
            contents.head = loadConfiguration("application.main_class = \"a.B\"\n" + type, "app.toml").head;
            contents.subsystem = subsystem;
            ExportResult printed = exportConfiguration(contents, CodePage::Windows1252, std::nullopt);
            BuildPlan plan = loadConfiguration(printed.toml, "printed.toml");
            EXPECT_EQ(plan.subsystem, subsystem) << printed.toml;
            bool consoleType = type.find('2') != std::string::npos || type.find("console") != std::string::npos;
            bool said = printed.toml.find("subsystem = ") != std::string::npos;
            EXPECT_EQ(said, consoleType != (subsystem == 3)) << printed.toml;
            EXPECT_TRUE(printed.notes.empty());
        }
    }
    LauncherContents odd;
    odd.head.strings = {{122, "a.B"}};
    odd.subsystem = 9;
    EXPECT_EQ(
        exportConfiguration(odd, CodePage::Windows1252, std::nullopt).notes,
        std::vector<std::string>{"the executable's subsystem 9 is neither windowed nor console; a rebuild writes gui"});
}

// Whether a build added the included archives of sub-folders to the class path is
// printed where the printed build would do otherwise.
TEST(TomlExport, ClassPathEntriesOfIncludedArchivesAreLeftToTheBuild) {
    test::TempDir dir;
    test::writeFile(dir / "lib/a.jar", "PK");
    const std::string files = "application.main_class = \"a.B\"\nfiles = [{ source = \"lib/a.jar\", name = \"lib/a.jar\" }]\n";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", ""},
        {"classpath.entries = [{ scan = \"x\" }]\n", ""},
        {"keys.121 = \"A0%KESTRO_TEMPDIR%\\\\lib\\\\a.jar;Q\"\n", ""},
        {"classpath.included_subfolder_archives = false\n", "included_subfolder_archives = false\n"},
        {"build.defaults = false\nclasspath.included_subfolder_archives = true\n",
         "[classpath]\nincluded_subfolder_archives = true\n"},
        {"build.defaults = false\nclasspath = { included_subfolder_archives = false, entries = [] }\n",
         "included_subfolder_archives = false\n"},
    };
    for (const auto& [text, said] : cases) {
        BuildPlan plan = loadConfiguration(files + text, dir / "app.toml");
        LauncherContents contents;
        contents.head = plan.head;
        for (const auto& file : plan.files) contents.files.push_back({file.name, 0, 0});
        ExportResult printed = exportConfiguration(contents, CodePage::Windows1252, std::nullopt);
        EXPECT_EQ(format::serializeHead(loadConfiguration(printed.toml, dir / "printed.toml").head),
                  format::serializeHead(plan.head))
            << printed.toml;
        EXPECT_EQ(printed.toml.find("%KESTRO_TEMPDIR%") == std::string::npos, text.find("keys.121") == std::string::npos)
            << printed.toml;
        EXPECT_EQ(printed.toml.find(said.empty() ? "included_subfolder_archives" : said) != std::string::npos,
                  !said.empty())
            << printed.toml;
    }
}

TEST(TomlExport, WhatCannotBeRebuiltIsNoted) {
    LauncherContents contents;
    contents.head.strings = {{122, "a.B"}, {101, "x"}, {122, "c.D"}};
    ExportResult printed = exportConfiguration(contents, CodePage::Windows1252, std::nullopt);
    EXPECT_EQ(printed.notes, (std::vector<std::string>{"the block's entries are not sorted by key; a rebuild sorts them",
                                                        "key 122 is stored twice; only its last value is printed"}));
    EXPECT_NE(printed.toml.find("main_class = \"c.D\""), std::string::npos);
}

}  // namespace
}  // namespace kestro::tool
