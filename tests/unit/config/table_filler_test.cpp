#include <gtest/gtest.h>

#include "config/table_filler.h"
#include "format/block_writer.h"

namespace kestro {
namespace {

ConfigTables readTables(const format::BlockHead& head, const std::string& localeCode) {
    auto bytes = format::serializeHead(head);
    format::MemorySource source(bytes);
    format::BlockReader reader(source);
    ConfigTables tables;
    auto locale = [&] { return localeCode; };
    TableFiller filler(tables, locale);
    EXPECT_EQ(format::readBlock(reader, filler), format::ReadStatus::Ok);
    return tables;
}

template <class Text>
Text valueOf(const KeyedTexts<Text>& table, ConfigKey key) {
    const Text* value = table.find(key);
    return value ? *value : Text();  // absent reads as empty; every value tested here is not
}

// A later duplicate wins. A set applies when its prefix begins the locale code
// (case-sensitive), in block order; sets fill the wide-string table only, and an empty
// prefix matches every locale.
TEST(TableFiller, MatchingLocaleSetsApplyInBlockOrder) {
    format::BlockHead head;
    head.strings = {{1000, "Error"}, {122, "first"}, {122, "second"}};
    head.wides = {{1, u"one"}, {2, u"two"}};
    head.localeSets = {{"de", {{1, u"eins"}, {2, u"zwei"}}}, {"de_CH", {{2, u"zwoi"}, {3, u"drei"}}},
                       {"fr", {{1, u"un"}}}, {"DE", {{4, u"vier"}}}, {"", {{1000, u"Fehler"}}}};
    auto de = readTables(head, "de").wides;
    EXPECT_EQ(valueOf(de, 1), u"eins");
    EXPECT_EQ(valueOf(de, 2), u"zwei");
    EXPECT_FALSE(de.find(3) || de.find(4));
    ConfigTables swiss = readTables(head, "de_CH");
    EXPECT_EQ(valueOf(swiss.wides, 2), u"zwoi");
    EXPECT_EQ(valueOf(swiss.wides, 3), u"drei");
    EXPECT_EQ(valueOf(swiss.wides, 1000), u"Fehler");
    EXPECT_EQ(valueOf(swiss.strings, 1000), "Error");
    EXPECT_EQ(valueOf(swiss.strings, 122), "second");
    EXPECT_EQ(swiss.strings.size(), 2u);  // one entry per key
    EXPECT_EQ(valueOf(readTables(head, "de_DE").wides, 2), u"zwei");
    EXPECT_EQ(valueOf(readTables(head, "fr").wides, 2), u"two");
}

}  // namespace
}  // namespace kestro
