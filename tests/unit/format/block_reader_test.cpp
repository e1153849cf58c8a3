#include <gtest/gtest.h>

#include "format/block_reader.h"
#include "format/block_writer.h"
#include "format/pe_layout.h"
#include "support/pe_image.h"
#include "support/trace_recorder.h"
#include "diagnostics/trace.h"

namespace kestro::format {
namespace {

struct Collected : BlockVisitor {
    BlockHead head;
    bool localesBegun = false;
    void stringEntry(ConfigKey k, std::string&& v) override { head.strings.push_back({k, v}); }
    void wideEntry(ConfigKey k, std::u16string&& v) override { head.wides.push_back({k, v}); }
    void beforeLocaleSets() override { localesBegun = true; }
    void beginLocaleSet(const std::string& prefix) override { head.localeSets.push_back({prefix, {}}); }
    void localeEntry(ConfigKey k, std::u16string&& v) override { head.localeSets.back().entries.push_back({k, v}); }
};

ReadStatus read(const std::vector<uint8_t>& bytes, Collected& out, std::optional<ReadFailure>* failure = nullptr) {
    MemorySource source(bytes);
    BlockReader reader(source);
    ReadStatus status = readBlock(reader, out);
    if (failure) *failure = reader.failure();
    return status;
}

TEST(BlockReader, ReadsBackWhatTheWriterWrote) {
    BlockHead head;
    head.strings = {{122, "com.example.Main"}, {1000, std::string("a\0b", 3)}, {122, "later"}};
    head.wides = {{5, u"\u00e9t\u00e9"}};
    head.localeSets = {{"de", {{5, u"Sommer"}}}, {"", {}}};
    auto bytes = serializeHead(head);

    Collected c;
    ASSERT_EQ(read(bytes, c), ReadStatus::Ok);
    EXPECT_TRUE(c.localesBegun);
    // Written again, what was read gives the same bytes.
    EXPECT_EQ(serializeHead(c.head), bytes);

    // The head size field counts from itself to the end of the locale sets.
    uint64_t headSize = 0;
    for (int i = 7; i >= 0; --i) headSize = headSize << 8 | bytes[12 + i];
    EXPECT_EQ(headSize, bytes.size() - 12);
}

TEST(BlockReader, EmptyBlockIsThirtyTwoBytesAndNegativeCountsMeanNoEntries) {
    auto bytes = serializeHead({});
    EXPECT_EQ(bytes.size(), 32u);
    Collected c;
    EXPECT_EQ(read(bytes, c), ReadStatus::Ok);
    EXPECT_TRUE(c.head.strings.empty() && c.head.wides.empty() && c.head.localeSets.empty());
    for (int i = 20; i < 24; ++i) bytes[i] = 0xFF;
    EXPECT_EQ(read(bytes, c), ReadStatus::Ok);
    EXPECT_TRUE(c.head.strings.empty());
    bytes[3] = 0;
    EXPECT_EQ(read(bytes, c), ReadStatus::BadMagic);
}

// Lengths are checked against the rest of the file before anything is allocated.
TEST(BlockReader, MalformedLengthsAreShortReads) {
    for (auto [length, wide] : {std::pair{0x7FFFFFFF, false}, {-1, false}, {0x7FFFFFFE, true}, {3, true}, {-4, true}}) {
        BlockHead head;
        if (wide) head.wides = {{1, u"ab"}};
        else head.strings = {{1, "abcd"}};
        auto bytes = serializeHead(head);
        for (int i = 0; i < 4; ++i) bytes[24 + 4 + (wide ? 4 : 0) + i] = uint8_t(uint32_t(length) >> (8 * i));
        Collected out;
        std::optional<ReadFailure> failure;
        EXPECT_EQ(read(bytes, out, &failure), ReadStatus::ReadFailed) << length;
        EXPECT_EQ(failure.value_or(ReadFailure{}).reader, wide ? Reader::WString : Reader::String) << length;
    }
}

TEST(BlockReader, ReaderFailuresTraceTheirErrorLines) {
    testing::clearTrace();
    std::vector<uint8_t> bytes = {1, 2};
    MemorySource source(bytes);
    BlockReader reader(source, &trace);
    int32_t v = 0;
    EXPECT_FALSE(reader.readInt(v));
    EXPECT_FALSE(reader.readInt(v));  // a failed reader stays failed, and traces once
    EXPECT_EQ(testing::tracedLines(), std::vector<std::string>{"error 0 2\n"});
    EXPECT_STREQ(fatalText(reader.failure()->reader), "Internal Error: readInt");
}

// Cutting the block at every offset ends with the report of the reader that ran past
// the end: the head size, the texts "a.B", u"w", "de" and u"x"; every other byte is a
// count, key or length.
TEST(BlockReader, EveryTruncationNamesTheReaderThatRanPastTheEnd) {
    BlockHead head;
    head.strings = {{122, "a.B"}};
    head.wides = {{7, u"w"}};
    head.localeSets = {{"de", {{7, u"x"}}}};
    auto bytes = serializeHead(head);
    ASSERT_EQ(bytes.size(), 73u);
    std::vector<Reader> owner(bytes.size(), Reader::Int);
    for (auto [from, n, reader] : {std::tuple{12, 8, Reader::Long}, {32, 3, Reader::String}, {47, 2, Reader::WString},
                                   {57, 2, Reader::String}, {71, 2, Reader::WString}})
        std::fill_n(owner.begin() + from, n, reader);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        Collected c;
        std::optional<ReadFailure> failure;
        EXPECT_EQ(read(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(cut)), c, &failure),
                  ReadStatus::ReadFailed) << cut;
        ASSERT_TRUE(failure) << cut;
        EXPECT_EQ(failure->reader, owner[cut]) << cut;
    }
}

// Two sections; the block goes behind the last one in the table, whatever its place.
std::vector<uint8_t> fakeImage(uint32_t rawSize, uint32_t rawOffset) {
    return testing::peImage({{0x200, 0x400}, {rawSize, rawOffset}});
}

TEST(BlockReader, SeeksBehindTheLastSectionAndTracesTheHeaders) {
    testing::clearTrace();
    auto image = fakeImage(0x100, 0x300);
    MemorySource source(image);
    BlockReader reader(source, &trace);
    seekConfigBlock(reader);
    EXPECT_EQ(reader.position(), 0x400u);
    EXPECT_FALSE(reader.failure());
    EXPECT_EQ(testing::tracedLines(),
              (std::vector<std::string>{"number of sections: 2", "size of optional headers: 240",
                                        "resSectionTableStart: 432", "rawDataSize: 256, rawDataOffset: 768"}));

    // A block position beyond the file fails the next read.
    auto far = fakeImage(0x7FFFFFFF, 0x7FFFFFFF);
    MemorySource farSource(far);
    BlockReader farReader(farSource);
    seekConfigBlock(farReader);
    Collected c;
    EXPECT_EQ(readBlock(farReader, c), ReadStatus::ReadFailed);
    EXPECT_EQ(farReader.failure()->reader, Reader::Int);
}

// The tool checks a stub with parsePeLayout and the launcher finds its block with
// seekConfigBlock: both must land on the same byte, also for header sizes of 0x8000 and
// above (which the launcher once read as negative, failing with "readInt").
TEST(BlockReader, FindsTheBlockWhereTheToolPutsItForEveryOptionalHeaderSize) {
    for (uint16_t optionalSize : {0xF0, 0x7FF8, 0x8000, 0xFFFF}) {
        uint32_t data = (0x98u + optionalSize + 40 + 0x1FF) & ~0x1FFu;
        auto image = testing::peImage({{0x200, data}}, data + 0x200 + 32, optionalSize);
        std::string why;
        auto layout = parsePeLayout(image, image.size(), why);
        ASSERT_TRUE(layout) << why;
        MemorySource source(image);
        BlockReader reader(source);
        seekConfigBlock(reader);
        EXPECT_EQ(reader.position(), layout->blockOffset) << optionalSize;
        EXPECT_EQ(layout->blockOffset, data + 0x200) << optionalSize;
        int32_t first = 0;
        EXPECT_TRUE(reader.readInt(first)) << optionalSize;
    }
}

}  // namespace
}  // namespace kestro::format
