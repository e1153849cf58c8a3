#include <gtest/gtest.h>

#include "format/block_writer.h"
#include "support/pe_image.h"
#include "tool/inspect/launcher_contents.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

// The smallest PE32+ GUI image the tool takes as a stub: one section filling 0x400..0x600.
std::string minimalPe() {
    auto image = testing::peImage({{0x200, 0x400}}, 0x600);
    return {image.begin(), image.end()};
}

constexpr size_t kBlock = 0x600;  // where the minimal stub's block begins

class MalformedLauncher : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(dir_ / "stub.exe", minimalPe());
        test::writeFile(dir_ / "a.bin", std::string(300, 'a'));
        format::BlockHead head;
        head.strings = {{122, "com.example.Main"}, {2002, "1"}, {2003, "a.bin"}};
        head.wides = {{5000, u"wide"}};
        head.localeSets = {{"de", {{5000, u"breit"}}}};
        format::Stub stub;
        std::string error;
        ASSERT_TRUE(format::loadStub(dir_ / "stub.exe", stub, error)) << error;
        ASSERT_TRUE(format::writeLauncher(stub, head, {{"a.bin", dir_ / "a.bin"}}, dir_ / "good.exe", error)) << error;
        good_ = test::readFile(dir_ / "good.exe");
    }

    LauncherContents read(const std::string& bytes) {
        test::writeFile(dir_ / "bad.exe", bytes);
        return readLauncher(dir_ / "bad.exe", CodePage::Windows1252);
    }
    std::string errorFor(const std::string& bytes) {
        return test::errorOf([&] { read(bytes); });
    }
    std::string withInt(size_t at, uint32_t value) {
        std::string bytes = good_;
        for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (8 * i));
        return bytes;
    }

    test::TempDir dir_;
    std::string good_;
};

TEST_F(MalformedLauncher, EveryTruncationIsReportedNeverTrusted) {
    EXPECT_TRUE(read(good_).warnings.empty());
    for (size_t length = kBlock + 1; length < good_.size(); ++length) {
        std::string cut = good_.substr(0, length);
        if (!errorFor(cut).empty()) continue;
        // Only a cut into the trailer leaves everything else readable.
        EXPECT_GE(length, good_.size() - 4) << length;
        EXPECT_EQ(read(cut).warnings.back(), "no trailer after the included files");
    }
}

TEST_F(MalformedLauncher, LengthsCountsAndMagicAreCheckedAgainstTheFile) {
    constexpr size_t firstLength = kBlock + 28;  // the first string entry's length field
    EXPECT_NE(errorFor(withInt(kBlock, 0x12345678)).find("no configuration block at offset 1536"), std::string::npos);
    EXPECT_NE(errorFor(withInt(firstLength, 0x7FFFFFF0)).find("runs past the end of the file"), std::string::npos);
    EXPECT_NE(errorFor(withInt(firstLength, 0xFFFFFFFF)).find("negative"), std::string::npos);
    EXPECT_NE(errorFor(withInt(kBlock + 20, 0x7FFFFFFF)).find("malformed configuration block"), std::string::npos);

    std::string hugeCount = good_;
    hugeCount.replace(hugeCount.find("\x01\0\0\0" "1", kBlock, 5), 5, std::string("\x01\0\0\0" "9", 5));
    EXPECT_NE(errorFor(hugeCount).find("included file [1] of 9 is missing"), std::string::npos);
    size_t sizeField = good_.size() - 4 - 300 - 8;
    EXPECT_NE(errorFor(withInt(sizeField + 4, 1)).find("claims 4294967596 bytes"), std::string::npos);

    std::string twoNames = good_;
    twoNames.replace(twoNames.find("a.bin", kBlock), 5, "a;bin");
    EXPECT_EQ(read(twoNames).warnings, std::vector<std::string>{"the block names 2 included files but carries 1"});
}


// A damaged resource section is named, and the block behind it is still shown.
TEST(LauncherResources, AreListedAndADamagedSectionIsAWarningOnly) {
    test::TempDir dir;
    std::string pe = minimalPe();
    for (auto [at, v] : {std::pair<size_t, uint32_t>{0xB8, 0x1000}, {0xBC, 0x200}, {0xD4, 0x400}})
        for (int i = 0; i < 4; ++i) pe[at + i] = char(v >> (8 * i));
    test::writeFile(dir / "stub.exe", pe);
    format::Stub stub;
    std::string error;
    ASSERT_TRUE(format::loadStub(dir / "stub.exe", stub, error)) << error;
    std::vector<format::Resource> resources{{10, 10000, 0, {1, 2, 3}}, {24, 1, 0, {4}}};
    ASSERT_TRUE(format::setResources(stub, resources, error)) << error;
    format::BlockHead head;
    head.strings = {{122, "com.example.Main"}};
    ASSERT_TRUE(format::writeLauncher(stub, head, {}, dir / "app.exe", error)) << error;

    LauncherContents contents = readLauncher(dir / "app.exe", CodePage::Windows1252);
    EXPECT_EQ(contents.resources, resources);
    EXPECT_TRUE(contents.warnings.empty());

    std::string bytes = test::readFile(dir / "app.exe");
    bytes[0x600 + 20] = 0;  // the root's first entry now points back at the root: a loop
    test::writeFile(dir / "damaged.exe", bytes);
    contents = readLauncher(dir / "damaged.exe", CodePage::Windows1252);
    EXPECT_TRUE(contents.resources.empty());
    ASSERT_EQ(contents.warnings.size(), 1u);
    EXPECT_EQ(contents.warnings[0], "the resource section is malformed (a resource directory at offset 0 is reached "
                                    "twice); its resources are not listed");
    EXPECT_EQ(contents.head.strings.size(), 1u);
}

}  // namespace
}  // namespace kestro::tool
