#include <gtest/gtest.h>

#include "format/block_writer.h"
#include "tool/launcher_contents.h"
#include "tool_test_support.h"

namespace kestro::tool {
namespace {

using test::TempDir;

constexpr size_t kBlock = 0x600;              // where the minimal stub's block begins
constexpr size_t kFirstLength = kBlock + 28;  // the first string entry's length field

class MalformedLauncher : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(dir_ / "stub.exe", test::minimalPe());
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

    // The error readLauncher gives for `bytes`, or "" when it reads them.
    std::string errorFor(const std::string& bytes) {
        test::writeFile(dir_ / "bad.exe", bytes);
        try {
            readLauncher(dir_ / "bad.exe", CodePage::Windows1252);
        } catch (const InspectError& e) {
            return e.what();
        }
        return "";
    }

    std::string withInt(size_t at, uint32_t value) {
        std::string bytes = good_;
        for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (8 * i));
        return bytes;
    }

    TempDir dir_;
    std::string good_;
};

TEST_F(MalformedLauncher, IntactLauncherReadsCompletely) {
    LauncherContents contents = readLauncher(dir_ / "good.exe", CodePage::Windows1252);
    EXPECT_EQ(contents.blockOffset, kBlock);
    EXPECT_EQ(contents.head.strings.size(), 3u);
    ASSERT_EQ(contents.files.size(), 1u);
    EXPECT_EQ(contents.files[0].name, "a.bin");
    EXPECT_EQ(contents.files[0].size, 300u);
    EXPECT_TRUE(contents.warnings.empty());
}

TEST_F(MalformedLauncher, EveryTruncationIsReportedNeverTrusted) {
    for (size_t length = kBlock + 1; length < good_.size(); ++length) {
        std::string message = errorFor(good_.substr(0, length));
        if (!message.empty()) continue;
        // Only a cut into the trailer leaves everything else readable.
        EXPECT_GE(length, good_.size() - 4) << length;
        EXPECT_EQ(readLauncher(dir_ / "bad.exe", CodePage::Windows1252).warnings.back(),
                  "no trailer after the included files");
    }
}

TEST_F(MalformedLauncher, FilesWithoutABlockAreNamedAsSuch) {
    EXPECT_NE(errorFor("hello").find("not a launcher: not a Windows executable"), std::string::npos);
    EXPECT_NE(errorFor(test::minimalPe()).find("carries no configuration block"), std::string::npos);
    EXPECT_NE(errorFor(withInt(kBlock, 0x12345678)).find("no configuration block at offset 1536"), std::string::npos);
}

TEST_F(MalformedLauncher, LengthsAndCountsBeyondTheFileAreRefused) {
    EXPECT_NE(errorFor(withInt(kFirstLength, 0x7FFFFFF0)).find("runs past the end of the file"), std::string::npos);
    EXPECT_NE(errorFor(withInt(kFirstLength, 0xFFFFFFFF)).find("negative"), std::string::npos);
    EXPECT_NE(errorFor(withInt(kBlock + 20, 0x7FFFFFFF)).find("malformed configuration block"), std::string::npos);

    std::string hugeCount = good_;
    hugeCount.replace(hugeCount.find("\x01\0\0\0" "1", kBlock, 5), 5, std::string("\x01\0\0\0" "9", 5));
    EXPECT_NE(errorFor(hugeCount).find("included file 2 of 9 is missing"), std::string::npos);

    size_t sizeField = good_.size() - 4 - 300 - 8;
    EXPECT_NE(errorFor(withInt(sizeField + 4, 1)).find("claims 4294967596 bytes"), std::string::npos);
}

TEST_F(MalformedLauncher, InconsistenciesThatStillReadAreWarnings) {
    std::string noNames = good_;
    noNames.replace(noNames.find("a.bin", kBlock), 5, "a;bin");
    test::writeFile(dir_ / "odd.exe", noNames);
    auto warnings = readLauncher(dir_ / "odd.exe", CodePage::Windows1252).warnings;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "the block names 2 included files but carries 1");
}

}  // namespace
}  // namespace kestro::tool
