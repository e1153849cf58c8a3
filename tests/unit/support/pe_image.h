// Minimal PE32+ images for tests of the block reader and writer: headers in the first
// 0x200 bytes (with the default optional header size), then the given sections' raw
// data ranges (offset, size).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace kestro::testing {

struct RawSection {
    uint32_t size;
    uint32_t offset;
};

// Little-endian 32-bit fields of an image.
inline uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
inline void set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

inline std::vector<uint8_t> peImage(const std::vector<RawSection>& sections, size_t fileSize = 0x400,
                                    uint16_t optionalSize = 0xF0) {
    std::vector<uint8_t> image(fileSize, 0);
    auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) image[at + i] = uint8_t(v >> (8 * i));
    };
    constexpr size_t pe = 0x80, optional = pe + 24;
    image[0] = 'M';
    image[1] = 'Z';
    put(60, pe, 4);
    put(pe, 0x4550, 4);                   // "PE\0\0"
    put(pe + 4, 0x8664, 2);               // AMD64
    put(pe + 6, uint32_t(sections.size()), 2);
    put(pe + 20, optionalSize, 2);
    put(optional, 0x20b, 2);              // PE32+
    put(optional + 68, 2, 2);             // windows subsystem
    put(optional + 108, 16, 4);           // data directories
    for (size_t i = 0; i < sections.size(); ++i) {
        size_t header = optional + optionalSize + 40 * i;
        put(header + 16, sections[i].size, 4);
        put(header + 20, sections[i].offset, 4);
    }
    return image;
}

}  // namespace kestro::testing
