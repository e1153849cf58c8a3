#include <gtest/gtest.h>

#include <vector>

#include "format/pe_checksum.h"

namespace kestro::format {
namespace {

// Expected values come from an independent implementation that sums 32-bit words with
// carry (the widespread form of the same checksum), run when the test was written; it
// also reproduces the checksum the linker wrote into the launcher stub.
std::vector<uint8_t> pattern(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i * 7 + 3);
    return bytes;
}

TEST(PeChecksum, MatchesAnIndependentImplementationInAnyChunking) {
    auto bytes = pattern(1001);  // odd length: the last byte is half a word
    for (size_t chunk : {size_t(1001), size_t(1), size_t(3), size_t(64)}) {
        PeChecksum sum;
        for (size_t at = 0; at < bytes.size(); at += chunk)
            sum.add(std::span(bytes).subspan(at, std::min(chunk, bytes.size() - at)));
        EXPECT_EQ(sum.value(), 0xC95Au) << "chunks of " << chunk;
    }
}

TEST(PeChecksum, CarriesAroundWhenTheSumOverflows) {
    std::vector<uint8_t> ones(4096, 0xFF);
    PeChecksum sum;
    sum.add(ones);
    EXPECT_EQ(sum.value(), 0x10FFFu);
    PeChecksum empty;
    EXPECT_EQ(empty.value(), 0u);
}

}  // namespace
}  // namespace kestro::format
