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
    TableFiller filler(tables, [&] { return localeCode; });
    EXPECT_EQ(format::readBlock(reader, filler), format::ReadStatus::Ok);
    return tables;
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
    EXPECT_EQ(de.at(1), u"eins");
    EXPECT_EQ(de.at(2), u"zwei");
    EXPECT_FALSE(de.count(3) || de.count(4));
    ConfigTables swiss = readTables(head, "de_CH");
    EXPECT_EQ(swiss.wides.at(2), u"zwoi");
    EXPECT_EQ(swiss.wides.at(3), u"drei");
    EXPECT_EQ(swiss.wides.at(1000), u"Fehler");
    EXPECT_EQ(swiss.strings.at(1000), "Error");
    EXPECT_EQ(swiss.strings.at(122), "second");
    EXPECT_EQ(readTables(head, "de_DE").wides.at(2), u"zwei");
    EXPECT_EQ(readTables(head, "fr").wides.at(2), u"two");
}

}  // namespace
}  // namespace kestro
