#include <gtest/gtest.h>

#include <algorithm>

#include "format/block_writer.h"
#include "tool/config_loader.h"
#include "tool/toml_export.h"

namespace kestro::tool {
namespace {

// Prints `head` as a configuration and loads it again; the block must not change.
struct Trip {
    ExportResult printed;
    format::BlockHead rebuilt;
};

Trip roundTrip(const format::BlockHead& head, CodePage cp = CodePage::Windows1252) {
    LauncherContents contents;
    contents.head = head;
    Trip trip{exportConfiguration(contents, cp, std::nullopt), {}};
    trip.rebuilt = loadConfiguration(trip.printed.toml, "printed.toml").head;
    return trip;
}

void expectSameBlock(const format::BlockHead& head, CodePage cp = CodePage::Windows1252) {
    Trip trip = roundTrip(head, cp);
    EXPECT_EQ(format::serializeHead(trip.rebuilt), format::serializeHead(head)) << trip.printed.toml;
    EXPECT_TRUE(trip.printed.notes.empty()) << trip.printed.notes.front();
}

TEST(TomlExport, BuiltBlocksComeBackByteForByte) {
    const char* config = R"(
[application]
main_class = "com.example.Main"
type = 5
arguments = ["a b", "it's"]
[java]
search_order = [{ relative_directory = "jre" }, "registry"]
[vm]
options = "-Xmx1g  -Dspaced=1"
[classpath]
entries = [{ scan = "lib", mandatory = false }]
[messages]
caption = "Fehler"
[keys]
101 = "x"
[wide]
7 = "seven"
[[locale]]
prefix = "de_CH"
[locale.wide]
7 = "sieben"
)";
    expectSameBlock(loadConfiguration(config, "app.toml").head);
    expectSameBlock(loadConfiguration("[build]\ndefaults = false\n", "app.toml").head);
}

TEST(TomlExport, StoredTextsWithoutReadableFormGoUnderKeys) {
    format::BlockHead head = loadConfiguration("", "app.toml").head;
    // "01" reads as true in the launcher but true stores "1"; a lone surrogate and
    // bytes invalid in UTF-8 have no text at all.
    head.strings.insert(head.strings.end(), {{102, "01"}, {128, "Q"}, {20000, std::string("\0\x81", 2)}});
    std::ranges::sort(head.strings, {}, &format::StringEntry::key);
    head.wides = {{1, std::u16string(1, char16_t(0xDC00))}};
    Trip trip = roundTrip(head);
    EXPECT_NE(trip.printed.toml.find("\"102\" = \"01\""), std::string::npos);
    EXPECT_EQ(format::serializeHead(trip.rebuilt), format::serializeHead(head));

    format::BlockHead utf8;
    utf8.strings = {{122, "\xFF\xFE"}};
    Trip hex = roundTrip(utf8, CodePage::Utf8);
    EXPECT_NE(hex.printed.toml.find("{ hex = \"fffe\" }"), std::string::npos) << hex.printed.toml;
    EXPECT_NE(hex.printed.toml.find("defaults = false"), std::string::npos);
    EXPECT_EQ(format::serializeHead(hex.rebuilt), format::serializeHead(utf8));
}

TEST(TomlExport, WhatCannotBeRebuiltIsNoted) {
    format::BlockHead head;
    head.strings = {{122, "a.B"}, {101, "x"}, {122, "c.D"}};
    Trip trip = roundTrip(head);
    ASSERT_EQ(trip.printed.notes.size(), 2u);
    EXPECT_EQ(trip.printed.notes[0], "the block's entries are not sorted by key; a rebuild sorts them");
    EXPECT_EQ(trip.printed.notes[1], "key 122 is stored twice; only its last value is printed");
    EXPECT_NE(trip.printed.toml.find("main_class = \"c.D\""), std::string::npos);
}

}  // namespace
}  // namespace kestro::tool
