#include <gtest/gtest.h>

#include <fstream>

#include "format/block_reader.h"
#include "format/block_writer.h"
#include "format/pe_checksum.h"
#include "support/pe_image.h"

namespace kestro::format {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// One section right after the headers.
std::vector<uint8_t> tinyImage() { return testing::peImage({{0x200, 0x200}}); }

class BlockWriter : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kestro-writer-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        writeBytes(dir_ / "stub.exe", tinyImage());
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(BlockWriter, AppendsBlockRecordsAndTrailerBehindTheLastSection) {
    writeBytes(dir_ / "a.bin", {0x00, 0x5B, 0xFF});
    Stub stub;
    std::string error;
    ASSERT_TRUE(loadStub(dir_ / "stub.exe", stub, error)) << error;
    EXPECT_EQ(stub.layout.blockOffset, 0x400u);
    BlockHead head;
    head.strings = {{2002, "1"}};
    ASSERT_TRUE(writeLauncher(stub, head, {{"a.bin", dir_ / "a.bin"}}, dir_ / "app.exe", error)) << error;

    auto out = bytesOf(dir_ / "app.exe");
    auto block = serializeHead(head);
    ASSERT_EQ(out.size(), 0x400 + block.size() + 8 + 3 + 4);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), out.begin() + 0x400));
    std::vector<uint8_t> record(out.begin() + 0x400 + long(block.size()), out.end() - 4);
    EXPECT_EQ(record, (std::vector<uint8_t>{3, 0, 0, 0, 0, 0, 0, 0, 0x5B, 0x00, 0xA4}));
    EXPECT_EQ(std::vector<uint8_t>(out.end() - 4, out.end()), (std::vector<uint8_t>{0xE8, 0xE4, 0x13, 0xD5}));
    // The image's CheckSum covers the whole launcher, its own field counted as zero; but
    // for it, the launcher begins with the stub's bytes.
    const size_t field = stub.layout.checksumOffset;
    ASSERT_GT(field, 0u);
    uint32_t stored = 0;
    for (int i = 3; i >= 0; --i) stored = stored << 8 | out[field + i];
    std::fill_n(out.begin() + long(field), 4, 0);
    PeChecksum sum;
    sum.add(out);
    EXPECT_EQ(stored, sum.value());
    EXPECT_TRUE(std::equal(stub.image.begin(), stub.image.end(), out.begin()));
}

// File positions are 32-bit: a launcher beyond 2 GB is refused before anything is
// written, naming the three largest included files (sparse here), largest first.
TEST_F(BlockWriter, ALauncherBeyondTwoGigabytesNamesTheLargestFiles) {
    std::vector<IncludedFile> files;
    for (auto [name, size] : {std::pair<std::string, uintmax_t>{"small.bin", 10}, {"huge.bin", 1500000000},
                              {"tiny.bin", 1}, {"big.bin", 700000000}}) {
        writeBytes(dir_ / name, {});
        fs::resize_file(dir_ / name, size);
        files.push_back({name, dir_ / name});
    }
    Stub stub;
    std::string error;
    ASSERT_TRUE(loadStub(dir_ / "stub.exe", stub, error)) << error;
    EXPECT_FALSE(writeLauncher(stub, {}, files, dir_ / "app.exe", error));
    auto named = [&](const char* name, const char* size) { return (dir_ / name).string() + " (" + size + " bytes)"; };
    EXPECT_TRUE(error.ends_with("the block format ends at 2 GB (2147483647 bytes); largest included files: " +
                                named("huge.bin", "1500000000") + ", " + named("big.bin", "700000000") + ", " +
                                named("small.bin", "10")))
        << error;
    EXPECT_FALSE(fs::exists(dir_ / "app.exe"));
}

TEST_F(BlockWriter, SignatureEntryOfAStubIsDropped) {
    auto image = tinyImage();
    size_t certEntry = 0x98 + 112 + 4 * 8;
    image[certEntry + 1] = 0x04;  // certificate table at 0x400, behind the section
    image[certEntry + 4] = 0x10;
    image.resize(0x410, 0xCC);
    writeBytes(dir_ / "signed.exe", image);
    Stub stub;
    std::string error;
    ASSERT_TRUE(loadStub(dir_ / "signed.exe", stub, error)) << error;
    EXPECT_EQ(stub.image.size(), 0x400u);
    EXPECT_EQ(stub.image, tinyImage());
}

}  // namespace
}  // namespace kestro::format
