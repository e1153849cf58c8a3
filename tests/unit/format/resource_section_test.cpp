#include <gtest/gtest.h>

#include "format/resource_section.h"
#include "support/pe_image.h"

namespace kestro::format {
namespace {

using testing::get32, testing::set32;

// Where the data entries of a section of sampleSorted() begin: behind the root (3 types),
// 3 id lists (2, 1, 1 ids) and 4 language lists (1, 1, 2, 1).
constexpr size_t kDataEntries = 16 + 24 + 3 * 16 + 4 * 8 + 4 * 16 + 5 * 8;

std::vector<uint8_t> bytes(std::initializer_list<int> list) { return {list.begin(), list.end()}; }

// Given out of order, with a duplicate whose last value counts.
std::vector<Resource> sample() {
    return {{kRtVersion, 1, 0x409, bytes({1, 2, 3})}, {kRtIcon, 2, 0, bytes({4})},
            {kRtIcon, 1, 0, bytes({5, 6, 7, 8, 9})}, {kRtRcdata, 10000, 0x407, bytes({10, 11})},
            {kRtRcdata, 10000, 0, std::vector<uint8_t>(100, 0xAB)}, {kRtIcon, 2, 0, bytes({12, 13})}};
}

std::vector<Resource> sampleSorted() {
    return {{kRtIcon, 1, 0, bytes({5, 6, 7, 8, 9})}, {kRtIcon, 2, 0, bytes({12, 13})},
            {kRtRcdata, 10000, 0, std::vector<uint8_t>(100, 0xAB)}, {kRtRcdata, 10000, 0x407, bytes({10, 11})},
            {kRtVersion, 1, 0x409, bytes({1, 2, 3})}};
}

TEST(ResourceSection, RoundTripsSortedWithDataAlignedAtTheSectionRva) {
    auto section = buildResourceSection(sample(), 0x5000);
    EXPECT_EQ(section.size() % 8, 0u);
    // The root lists the three types in ascending order (the system's lookup is a binary search).
    EXPECT_EQ(section[14], 3);
    EXPECT_EQ(get32(section, 16), kRtIcon);
    EXPECT_EQ(get32(section, 24), kRtRcdata);
    EXPECT_EQ(get32(section, 32), kRtVersion);
    std::string error;
    auto parsed = parseResourceSection(section, 0x5000, error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(*parsed, sampleSorted());
    // Each data entry's data lies at a multiple of 8.
    for (size_t i = 0; i < 5; ++i) {
        size_t entry = kDataEntries + 16 * i;
        EXPECT_EQ(get32(section, entry) % 8, 0u);
        EXPECT_EQ(get32(section, entry + 4), sampleSorted()[i].data.size());
    }
    // The same bytes placed elsewhere have their data outside the section.
    EXPECT_FALSE(parseResourceSection(section, 0x6000, error));
    EXPECT_NE(error.find("outside the section"), std::string::npos) << error;

    auto empty = buildResourceSection({}, 0x5000);
    EXPECT_EQ(empty.size(), 16u);
    ASSERT_TRUE(parseResourceSection(empty, 0x5000, error));
    EXPECT_TRUE(parseResourceSection(empty, 0x5000, error)->empty());
}

// A section whose root lists one type pointing at `target` (a raw entry word).
std::vector<uint8_t> oneEntryRoot(uint32_t target, size_t size = 64) {
    std::vector<uint8_t> s(size, 0);
    s[14] = 1;
    set32(s, 16, kRtRcdata);
    set32(s, 20, target);
    return s;
}

TEST(ResourceSection, MalformedTreesAreRefusedWithAReason) {
    std::string error;
    auto refused = [&](std::vector<uint8_t> section, const std::string& reason) {
        error.clear();
        EXPECT_FALSE(parseResourceSection(section, 0x1000, error)) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    };
    refused({1, 2, 3}, "outside the section");
    refused(oneEntryRoot(0x80000000u), "reached twice");              // the type list is the root again
    refused(oneEntryRoot(0x80000000u | 0xFFFFF0), "outside the section");
    refused(oneEntryRoot(24), "points at data instead of a directory");
    auto counted = oneEntryRoot(0x80000000u);
    counted[14] = 0xFF, counted[15] = 0xFF;
    refused(counted, "run past the end");
    auto named = oneEntryRoot(0x80000000u);
    named[12] = 1;
    refused(named, "names");

    auto good = buildResourceSection(sampleSorted(), 0x1000);
    auto twice = good;
    set32(twice, 24, kRtIcon);  // the second type has the first one's number
    refused(twice, "listed twice");
    auto deep = good;
    set32(deep, 16 + 24 + 3 * 16 + 4 * 8 + 16 + 4, 0x80000000u | 16);  // a language entry pointing at a directory
    refused(deep, "deeper");
    auto far = good;
    set32(far, 16 + 24 + 3 * 16 + 4 * 8 + 16 + 4, 0xFFFFF0);  // a language entry pointing past the end
    refused(far, "a resource data entry at offset 16777200 lies outside the section");
    // The first data entry's size grown to cover the whole section: its data overlaps the rest.
    auto overlapping = good;
    set32(overlapping, kDataEntries, 0x1000);
    set32(overlapping, kDataEntries + 4, uint32_t(good.size()));
    refused(overlapping, "overlap");
}

// A linker's image: two sections at 0x1000 and 0x2000, file alignment 0x200, and room
// in the headers for exactly one more section header.
Stub linkedStub(size_t sections = 2) {
    std::vector<testing::RawSection> raw;
    for (size_t i = 0; i < sections; ++i) raw.push_back({0x200, uint32_t(0x200 * (i + 1))});
    Stub stub;
    stub.image = testing::peImage(raw, 0x200 * (sections + 1));
    constexpr size_t optional = 0x98;
    set32(stub.image, optional + 8, uint32_t(0x200 * sections));  // SizeOfInitializedData
    set32(stub.image, optional + 32, 0x1000);                     // SectionAlignment
    set32(stub.image, optional + 36, 0x200);                      // FileAlignment
    set32(stub.image, optional + 56, uint32_t(0x1000 * (sections + 1)));  // SizeOfImage
    set32(stub.image, optional + 60, 0x200);                      // SizeOfHeaders
    for (size_t i = 0; i < sections; ++i) {
        size_t h = optional + 0xF0 + 40 * i;
        set32(stub.image, h + 8, 0x180);
        set32(stub.image, h + 12, uint32_t(0x1000 * (i + 1)));
    }
    std::string error;
    stub.layout = *parsePeLayout(stub.image, stub.image.size(), error);
    return stub;
}

TEST(ResourceSection, AddsReplacesAndRemovesTheLastSection) {
    Stub original = linkedStub(), stub = original;
    std::string error;
    ASSERT_TRUE(setResources(stub, sample(), error)) << error;
    constexpr size_t optional = 0x98, added = optional + 0xF0 + 80;
    EXPECT_EQ(stub.layout.sectionCount, 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&stub.image[added])), ".rsrc");
    // The header's address, file offset and flags; the resource table entry names the
    // section; SizeOfImage and SizeOfInitializedData grow by it.
    const uint32_t rawSize = get32(stub.image, added + 16);
    EXPECT_EQ(rawSize % 0x200, 0u);
    for (auto [at, value] : {std::pair<size_t, uint32_t>{added + 12, 0x3000}, {added + 20, 0x600},
                             {added + 36, 0x40000040}, {optional + 112 + 16, 0x3000},
                             {optional + 112 + 20, get32(stub.image, added + 8)}, {optional + 56, 0x4000},
                             {optional + 8, 0x400 + rawSize}})
        EXPECT_EQ(get32(stub.image, at), value) << at;
    EXPECT_EQ(stub.layout.blockOffset, stub.image.size());
    std::vector<Resource> read;
    ASSERT_TRUE(readResources(stub, read, error)) << error;
    EXPECT_EQ(read, sampleSorted());

    // Rebuilding from the result replaces the section rather than adding another.
    Stub fresh = original;
    ASSERT_TRUE(setResources(fresh, {sample()[1]}, error));
    ASSERT_TRUE(setResources(stub, {sample()[1]}, error));
    EXPECT_EQ(stub.image, fresh.image);
    ASSERT_TRUE(setResources(stub, {}, error));
    EXPECT_EQ(stub.image, original.image);
    EXPECT_EQ(stub.layout.blockOffset, original.layout.blockOffset);
    ASSERT_TRUE(readResources(stub, read, error));
    EXPECT_TRUE(read.empty());
}

TEST(ResourceSection, RefusesWithoutRoomOrBesideResourcesOfTheStubsOwn) {
    std::string error;
    Stub full = linkedStub(3), before = full;
    EXPECT_FALSE(setResources(full, sample(), error));
    EXPECT_NE(error.find("no room for another section header"), std::string::npos) << error;
    EXPECT_EQ(full.image, before.image);
    EXPECT_TRUE(setResources(full, {}, error)) << "nothing to remove is no failure";

    Stub own = linkedStub();
    set32(own.image, 0x98 + 112 + 16, 0x1000);  // the resource table lies in the first section
    own.layout = *parsePeLayout(own.image, own.image.size(), error);
    EXPECT_FALSE(setResources(own, sample(), error));
    EXPECT_NE(error.find("resource table of its own"), std::string::npos) << error;
    std::vector<Resource> read;
    EXPECT_TRUE(readResources(own, read, error));
    EXPECT_TRUE(read.empty());
}

}  // namespace
}  // namespace kestro::format
