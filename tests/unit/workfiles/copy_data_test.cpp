#include <gtest/gtest.h>

#include <algorithm>

#include "format/block_format.h"
#include "support/trace_recorder.h"
#include "workfiles/copy_data.h"

namespace kestro {
namespace {

// Bytes in memory, owned, with the size of every read asked of them.
class RecordingSource final : public format::ByteSource {
public:
    explicit RecordingSource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)), inner_(bytes_) {}
    bool read(void* dst, uint32_t n, uint32_t& got, uint32_t& error) override {
        requests.push_back(n);
        return inner_.read(dst, n, got, error);
    }
    bool seek(uint64_t pos, uint32_t& error) override { return inner_.seek(pos, error); }
    uint64_t position() const override { return inner_.position(); }
    uint64_t size() const override { return inner_.size(); }
    std::vector<uint32_t> requests;

private:
    std::vector<uint8_t> bytes_;
    format::MemorySource inner_;
};

// Takes at most `perCall` bytes per write and fails with `error` once `capacity` is used.
class LimitedSink final : public ByteSink {
public:
    bool write(const void* src, uint32_t n, uint32_t& written, uint32_t& error) override {
        size_t room = capacity - bytes.size();
        written = uint32_t(std::min<size_t>({n, perCall, room}));
        if (room == 0) {
            error = failError;
            return false;
        }
        auto p = static_cast<const uint8_t*>(src);
        bytes.insert(bytes.end(), p, p + written);
        return true;
    }
    std::vector<uint8_t> bytes;
    size_t perCall = SIZE_MAX;
    size_t capacity = SIZE_MAX;
    uint32_t failError = 112;
};

std::vector<uint8_t> everyByteValue(size_t n) {
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = uint8_t(i * 7 + (i >> 8));
    return out;
}

std::vector<uint8_t> scrambled(std::vector<uint8_t> bytes) {
    format::scramble(bytes.data(), bytes.size());
    return bytes;
}

class CopyData : public ::testing::Test {
protected:
    void SetUp() override { testing::clearTrace(); }
};

// Short writes are resumed; the reads stay whole chunks.
TEST_F(CopyData, UnscramblesInChunksOfAtMost8K) {
    std::vector<uint8_t> original = everyByteValue(20003);
    RecordingSource source(scrambled(original));
    LimitedSink sink;
    sink.perCall = 1000;
    EXPECT_EQ(copyFileData(source, sink, 20003, true), 0);
    EXPECT_EQ(sink.bytes, original);
    EXPECT_EQ(source.requests, (std::vector<uint32_t>{8192, 8192, 3619}));
    EXPECT_TRUE(testing::tracedLines().empty());
}

TEST_F(CopyData, StopsAtTheCountSoTheNextRecordCanBeRead) {
    std::vector<uint8_t> stored = everyByteValue(100);
    RecordingSource source(stored);
    LimitedSink sink;
    EXPECT_EQ(copyFileData(source, sink, 40, false), 0);
    EXPECT_EQ(sink.bytes, std::vector<uint8_t>(stored.begin(), stored.begin() + 40));
    EXPECT_EQ(source.position(), 40u);
}

TEST_F(CopyData, SourceEndingEarlyIsAReadFailure) {
    RecordingSource source(everyByteValue(500));
    LimitedSink sink;
    EXPECT_EQ(copyFileData(source, sink, 1000, true), kCopyReadFailed);
    EXPECT_EQ(sink.bytes.size(), 500u);
    EXPECT_EQ(testing::tracedLines(), (std::vector<std::string>{"ERROR: ReadFile failed 0 0 500"}));
}

TEST_F(CopyData, FullTargetIsAWriteFailureNamingWhatWasLeftOfTheChunk) {
    RecordingSource source(everyByteValue(30000));
    LimitedSink sink;
    sink.capacity = 10000;  // the second chunk gets 1808 of its 8192 bytes in
    EXPECT_EQ(copyFileData(source, sink, 30000, true), kCopyWriteFailed);
    EXPECT_EQ(testing::tracedLines(), (std::vector<std::string>{"ERROR: WriteFile failed 6384 112"}));

    LimitedSink stuck;  // a write without progress does not loop forever
    stuck.perCall = 0;
    EXPECT_EQ(copyFileData(source, stuck, 10, false), kCopyWriteFailed);
}

TEST_F(CopyData, NothingToCopyReadsNothing) {
    RecordingSource source(everyByteValue(10));
    LimitedSink sink;
    EXPECT_EQ(copyFileData(source, sink, 0, true), 0);
    EXPECT_EQ(copyFileData(source, sink, -5, true), 0);
    EXPECT_TRUE(source.requests.empty());
}

}  // namespace
}  // namespace kestro
