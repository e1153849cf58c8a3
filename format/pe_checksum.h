// The checksum in a PE image's optional header, computed while the file is written.
#pragma once

#include <cstdint>
#include <span>

namespace kestro::format {

// The standard image checksum: the file's 16-bit little-endian words added with
// end-around carry, folded to 16 bits, plus the file's length. The bytes of the
// CheckSum field itself count as zero, so feed them as zero.
class PeChecksum {
public:
    // The file's next bytes, in order; chunks may have any length.
    void add(std::span<const uint8_t> bytes);
    uint32_t value() const;

private:
    uint64_t sum_ = 0;  // of whole words, folded as it grows
    uint64_t length_ = 0;
    int pending_ = -1;  // the low byte of a word split between chunks
};

}  // namespace kestro::format
