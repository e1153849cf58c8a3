#include "tool/archive/zip_directory.h"

#include <algorithm>
#include <string_view>

#include "format/native_file.h"

namespace kestro::tool {

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kEntrySignature = 0x02014b50;
constexpr size_t kEndSize = 22;
constexpr size_t kEntrySize = 46;
constexpr size_t kLongestComment = 0xFFFF;

uint32_t u16(std::string_view bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8;
}

uint32_t u32(std::string_view bytes, size_t at) { return u16(bytes, at) | u16(bytes, at + 2) << 16; }

// The names of `count` directory entries at the start of `directory`.
std::optional<std::vector<std::string>> entryNames(std::string_view directory, uint32_t count) {
    std::vector<std::string> names;
    size_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (directory.size() - at < kEntrySize || u32(directory, at) != kEntrySignature) return std::nullopt;
        size_t name = u16(directory, at + 28), extra = u16(directory, at + 30), comment = u16(directory, at + 32);
        if (directory.size() - at - kEntrySize < name + extra + comment) return std::nullopt;
        names.emplace_back(directory.substr(at + kEntrySize, name));
        at += kEntrySize + name + extra + comment;
    }
    return names;
}

}  // namespace

std::optional<std::vector<std::string>> zipEntryNames(uint64_t size, const ArchiveReader& read) {
    if (size < kEndSize) return std::nullopt;
    size_t tailSize = size_t(std::min<uint64_t>(size, kEndSize + kLongestComment));
    uint64_t tailOffset = size - tailSize;
    std::string tail;
    if (!read(tailOffset, tailSize, tail) || tail.size() != tailSize) return std::nullopt;
    // The last end record whose comment reaches the end of the archive: a comment may
    // itself hold the signature's bytes.
    for (size_t at = tailSize - kEndSize + 1; at-- > 0;) {
        if (u32(tail, at) != kEndSignature || at + kEndSize + u16(tail, at + 20) != tailSize) continue;
        uint32_t count = u16(tail, at + 10), directorySize = u32(tail, at + 12), directoryOffset = u32(tail, at + 16);
        // All ones: the values are in a zip64 record, which archives this size have no need of.
        if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) return std::nullopt;
        if (uint64_t(directoryOffset) + directorySize > tailOffset + at) return std::nullopt;
        std::string directory;
        if (!read(directoryOffset, directorySize, directory) || directory.size() != directorySize)
            return std::nullopt;
        return entryNames(directory, count);
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> zipEntryNames(const std::filesystem::path& file) {
    std::error_code ec;
    uint64_t size = std::filesystem::file_size(file, ec);
    format::UniqueFile in = ec ? nullptr : format::openForReading(file);
    if (!in) return std::nullopt;
    return zipEntryNames(size, [&](uint64_t offset, size_t n, std::string& out) {
        out.assign(n, '\0');
        return format::seekTo(in.get(), offset) && std::fread(out.data(), 1, n, in.get()) == n;
    });
}

}  // namespace kestro::tool
