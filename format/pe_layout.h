// The few facts of a 64-bit PE image that placing a configuration block needs.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kestro::format {

struct PeLayout {
    uint16_t machine = 0;
    uint16_t subsystem = 0;
    uint32_t subsystemOffset = 0;  // file offset of the optional header's Subsystem field
    uint16_t sectionCount = 0;
    // Where the block begins: the end of the raw data of the last section header.
    uint32_t blockOffset = 0;
    // File offset of the certificate table's data directory entry (offset, size), or 0
    // when the optional header has none.
    uint32_t certificateEntryOffset = 0;
    uint32_t certificateOffset = 0;
    uint32_t certificateSize = 0;
    // File offsets of the optional header, its CheckSum field, the section table, and
    // the resource table's data directory entry (0 when the header has no room for it).
    uint32_t optionalOffset = 0;
    uint16_t optionalSize = 0;
    uint32_t checksumOffset = 0;
    uint32_t sectionTableOffset = 0;
    uint32_t resourceEntryOffset = 0;
    uint32_t sizeOfHeaders = 0;
    uint32_t sectionAlignment = 0;
    uint32_t fileAlignment = 0;
};

inline constexpr size_t kSectionHeaderSize = 40;

inline constexpr uint16_t kMachineAmd64 = 0x8664;
inline constexpr uint16_t kSubsystemWindowsGui = 2;
inline constexpr uint16_t kSubsystemWindowsCui = 3;

// Parses the headers of a PE32+ image. `bytes` must hold at least the headers and the
// section table; fileSize is the whole file's size. On failure returns nothing and
// says why in `error`.
std::optional<PeLayout> parsePeLayout(std::span<const uint8_t> bytes, uint64_t fileSize, std::string& error);

}  // namespace kestro::format
