#include <gtest/gtest.h>

#include <algorithm>

#include "format/block_format.h"
#include "support/trace_recorder.h"
#include "workfiles/copy_data.h"

namespace kestro {
namespace {

// Bytes in memory, with the size of every read asked of them.
struct RecordingSource final : format::ByteSource {
    explicit RecordingSource(std::vector<uint8_t> b) : bytes(std::move(b)), inner(bytes) {}
    bool read(void* dst, uint32_t n, uint32_t& got, uint32_t& error) override {
        requests.push_back(n);
        return inner.read(dst, n, got, error);
    }
    bool seek(uint64_t pos, uint32_t& error) override { return inner.seek(pos, error); }
    uint64_t position() const override { return inner.position(); }
    uint64_t size() const override { return inner.size(); }
    std::vector<uint8_t> bytes;
    format::MemorySource inner;
    std::vector<uint32_t> requests;
};

// Takes at most `perCall` bytes per write and fails with error 112 once `capacity` is used.
struct LimitedSink final : ByteSink {
    LimitedSink(size_t perCall, size_t capacity) : perCall(perCall), capacity(capacity) {}
    bool write(const void* src, uint32_t n, uint32_t& written, uint32_t& error) override {
        if (++calls > 100000) return false;  // a copy without end fails the row
        size_t room = capacity - bytes.size();
        written = uint32_t(std::min<size_t>({n, perCall, room}));
        if (room == 0) {
            error = 112;
            return false;
        }
        auto p = static_cast<const uint8_t*>(src);
        bytes.insert(bytes.end(), p, p + written);
        return true;
    }
    size_t perCall, capacity, calls = 0;
    std::vector<uint8_t> bytes;
};

// Reads stay whole chunks of at most 8K; short writes are resumed; the copy stops at its
// count, so that the next record can be read.
TEST(CopyData, ChunksCountsAndFailures) {
    // The bytes stored, the count to copy, the sink's limits; the result, the reads asked,
    // the bytes written and the trace.
    struct Case {
        size_t stored; int64_t count; bool unscramble; size_t perCall, capacity;
        int result; std::vector<uint32_t> requests; size_t written; std::vector<std::string> trace;
    };
    for (const Case& c : std::initializer_list<Case>{
             {20003, 20003, true, 1000, SIZE_MAX, 0, {8192, 8192, 3619}, 20003, {}},
             {100, 40, false, SIZE_MAX, SIZE_MAX, 0, {40}, 40, {}},
             {10, 0, true, SIZE_MAX, SIZE_MAX, 0, {}, 0, {}},
             {10, -5, true, SIZE_MAX, SIZE_MAX, 0, {}, 0, {}},
             // The source ends early.
             {500, 1000, true, SIZE_MAX, SIZE_MAX, kCopyReadFailed, {1000, 500}, 500,
              {"ERROR: ReadFile failed 0 0 500"}},
             // The target fills up: the second chunk gets 1808 of its 8192 bytes in.
             {30000, 30000, true, SIZE_MAX, 10000, kCopyWriteFailed, {8192, 8192}, 10000,
              {"ERROR: WriteFile failed 6384 112"}},
             // A write without progress does not loop forever.
             {100, 10, true, 0, SIZE_MAX, kCopyWriteFailed, {10}, 0, {"ERROR: WriteFile failed 10 0"}},
         }) {
        testing::clearTrace();
        std::vector<uint8_t> original(c.stored);
        for (size_t i = 0; i < c.stored; ++i) original[i] = uint8_t(i * 7 + (i >> 8));
        std::vector<uint8_t> stored = original;
        if (c.unscramble) format::scramble(stored.data(), stored.size());
        RecordingSource source(stored);
        LimitedSink sink(c.perCall, c.capacity);
        EXPECT_EQ(copyFileData(source, sink, c.count, c.unscramble), c.result) << c.count;
        EXPECT_EQ(source.requests, c.requests) << c.count;
        EXPECT_EQ(sink.bytes, std::vector<uint8_t>(original.begin(), original.begin() + long(c.written))) << c.count;
        EXPECT_EQ(testing::tracedLines(), c.trace) << c.count;
    }
}

}  // namespace
}  // namespace kestro
