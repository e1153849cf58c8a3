// Little-endian fields in byte vectors, for the resource formats' headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kestro::tool::resources {

inline void put16(std::vector<uint8_t>& out, uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, uint16_t(v));
    put16(out, uint16_t(v >> 16));
}
inline void set16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = uint8_t(v);
    out[at + 1] = uint8_t(v >> 8);
}

// Callers check that the field lies inside `in`.
inline uint16_t get16(std::span<const uint8_t> in, size_t at) { return uint16_t(in[at] | in[at + 1] << 8); }
inline uint32_t get32(std::span<const uint8_t> in, size_t at) {
    return get16(in, at) | uint32_t(get16(in, at + 2)) << 16;
}

}  // namespace kestro::tool::resources
