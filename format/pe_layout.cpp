#include "format/pe_layout.h"

namespace kestro::format {

namespace {

uint32_t u32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t u16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

constexpr uint16_t kPe32PlusMagic = 0x20b;
constexpr size_t kResourceDirectory = 2;
constexpr size_t kCertificateDirectory = 4;

}  // namespace

std::optional<PeLayout> parsePeLayout(std::span<const uint8_t> b, uint64_t fileSize, std::string& error) {
    if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z') {
        error = "not a Windows executable (no MZ header)";
        return std::nullopt;
    }
    size_t pe = u32(b, 60);
    if (pe > b.size() || b.size() - pe < 24 || u32(b, pe) != 0x00004550) {
        error = "not a PE image (no PE signature)";
        return std::nullopt;
    }
    PeLayout layout;
    layout.machine = u16(b, pe + 4);
    layout.sectionCount = u16(b, pe + 6);
    size_t optional = pe + 24, optionalSize = u16(b, pe + 20);
    if (optionalSize < 112 || b.size() - optional < optionalSize || u16(b, optional) != kPe32PlusMagic) {
        error = "not a 64-bit (PE32+) image";
        return std::nullopt;
    }
    layout.subsystemOffset = uint32_t(optional + 68);
    layout.subsystem = u16(b, layout.subsystemOffset);
    layout.optionalOffset = uint32_t(optional);
    layout.optionalSize = uint16_t(optionalSize);
    layout.checksumOffset = uint32_t(optional + 64);
    layout.sectionAlignment = u32(b, optional + 32);
    layout.fileAlignment = u32(b, optional + 36);
    layout.sizeOfHeaders = u32(b, optional + 60);
    uint32_t directories = u32(b, optional + 108);
    size_t resourceEntry = optional + 112 + kResourceDirectory * 8;
    if (directories > kResourceDirectory && resourceEntry + 8 <= optional + optionalSize)
        layout.resourceEntryOffset = uint32_t(resourceEntry);
    size_t certEntry = optional + 112 + kCertificateDirectory * 8;
    if (directories > kCertificateDirectory && certEntry + 8 <= optional + optionalSize) {
        layout.certificateEntryOffset = uint32_t(certEntry);
        layout.certificateOffset = u32(b, certEntry);
        layout.certificateSize = u32(b, certEntry + 4);
    }

    size_t table = optional + optionalSize;
    layout.sectionTableOffset = uint32_t(table);
    if (layout.sectionCount == 0 || b.size() - table < layout.sectionCount * kSectionHeaderSize) {
        error = "the section table is missing or truncated";
        return std::nullopt;
    }
    uint64_t lastEnd = 0, furthestEnd = 0;
    for (size_t i = 0; i < layout.sectionCount; ++i) {
        size_t h = table + i * kSectionHeaderSize;
        uint64_t end = uint64_t(u32(b, h + 16)) + u32(b, h + 20);
        if (end > furthestEnd) furthestEnd = end;
        lastEnd = end;
    }
    // The block is found behind the last header's data; if another section's data
    // reached further, the block would overwrite it.
    if (lastEnd != furthestEnd) {
        error = "the last section in the table does not end the image";
        return std::nullopt;
    }
    if (lastEnd > fileSize) {
        error = "the last section's data runs past the end of the file";
        return std::nullopt;
    }
    layout.blockOffset = uint32_t(lastEnd);
    return layout;
}

}  // namespace kestro::format
