// The configuration block that the build tool appends to a launcher stub, and that
// the launcher reads back from its own executable. This header is the one place that
// fixes the layout; the launcher's reader and the tool's writer both build on it.
//
// Layout, all numbers little-endian, starting right behind the last section's raw data:
//   magic (4) | reserved (4) | reserved (4) | head size (8) | N (4) | N string entries
//   | M (4) | M wide entries | L (4) | L locale sets | included file records | trailer (4)
// A string entry is key (4), byte length (4), bytes; a wide entry is key (4), byte
// length (4, even), UTF-16LE units; a locale set is a prefix (length (4), bytes), K (4)
// and K wide entries. An included file record is a size (8) and that many bytes, each
// XORed with kScrambleMask.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestro::format {

using ConfigKey = int32_t;

inline constexpr uint32_t kMagic = 0xE8E413D5u;
inline constexpr std::array<uint8_t, 4> kTrailer{0xE8, 0xE4, 0x13, 0xD5};
// Included file data is stored XORed with this byte so that archives inside the
// executable are not mistaken for the executable's own content by scanners.
inline constexpr uint8_t kScrambleMask = 0x5B;

// Magic, two reserved integers and the 64-bit head size.
inline constexpr uint32_t kHeaderSize = 20;
// The offset of the 64-bit head size field; it counts the bytes from this field to
// the end of the locale sets.
inline constexpr uint32_t kHeadSizeFieldOffset = 12;

struct StringEntry {
    ConfigKey key = 0;
    std::string value;  // 8-bit text in the target's ANSI code page, no terminator
};

struct WideEntry {
    ConfigKey key = 0;
    std::u16string value;
};

struct LocaleSet {
    std::string prefix;  // a locale code prefix such as "de" or "de_CH"
    std::vector<WideEntry> entries;
};

// Everything of a block before the included file records.
struct BlockHead {
    std::vector<StringEntry> strings;
    std::vector<WideEntry> wides;
    std::vector<LocaleSet> localeSets;
};

inline void scramble(uint8_t* data, size_t n) {
    for (size_t i = 0; i < n; ++i) data[i] ^= kScrambleMask;
}

}  // namespace kestro::format
