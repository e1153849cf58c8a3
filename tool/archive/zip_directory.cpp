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

// The `count` directory entries at the start of `directory`.
std::optional<std::vector<ZipEntry>> directoryEntries(std::string_view directory, uint32_t count) {
    std::vector<ZipEntry> entries;
    size_t at = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (directory.size() - at < kEntrySize || u32(directory, at) != kEntrySignature) return std::nullopt;
        size_t name = u16(directory, at + 28), extra = u16(directory, at + 30), comment = u16(directory, at + 32);
        if (directory.size() - at - kEntrySize < name + extra + comment) return std::nullopt;
        entries.push_back({std::string(directory.substr(at + kEntrySize, name)), u16(directory, at + 10),
                           u32(directory, at + 20), u32(directory, at + 24), u32(directory, at + 42)});
        at += kEntrySize + name + extra + comment;
    }
    return entries;
}

}  // namespace

ArchiveReader fileReader(std::FILE* file) {
    return [file](uint64_t offset, size_t n, std::string& out) {
        out.assign(n, '\0');
        return format::seekTo(file, offset) && std::fread(out.data(), 1, n, file) == n;
    };
}

std::optional<std::vector<ZipEntry>> zipEntries(uint64_t size, const ArchiveReader& read, std::string* problem) {
    auto refuse = [&](const char* why) {
        if (problem) *problem = why;
        return std::nullopt;
    };
    if (size < kEndSize) return refuse("shorter than a zip archive's end record");
    size_t tailSize = size_t(std::min<uint64_t>(size, kEndSize + kLongestComment));
    uint64_t tailOffset = size - tailSize;
    std::string tail;
    if (!read(tailOffset, tailSize, tail) || tail.size() != tailSize) return refuse("it cannot be read");
    // The last end record whose comment reaches the end of the archive: a comment may
    // itself hold the signature's bytes.
    for (size_t at = tailSize - kEndSize + 1; at-- > 0;) {
        if (u32(tail, at) != kEndSignature || at + kEndSize + u16(tail, at + 20) != tailSize) continue;
        uint32_t count = u16(tail, at + 10), directorySize = u32(tail, at + 12), directoryOffset = u32(tail, at + 16);
        // All ones: the values are in a zip64 record, which archives this size have no need of.
        if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF)
            return refuse("a zip64 archive");
        if (uint64_t(directoryOffset) + directorySize > tailOffset + at)
            return refuse("its central directory lies beyond its end record");
        std::string directory;
        if (!read(directoryOffset, directorySize, directory) || directory.size() != directorySize)
            return refuse("it cannot be read");
        std::optional<std::vector<ZipEntry>> entries = directoryEntries(directory, count);
        if (!entries) return refuse("its central directory ends early");
        return entries;
    }
    return refuse("no zip archive's end record");
}

std::optional<std::vector<std::string>> zipEntryNames(uint64_t size, const ArchiveReader& read) {
    std::optional<std::vector<ZipEntry>> entries = zipEntries(size, read);
    if (!entries) return std::nullopt;
    std::vector<std::string> names;
    for (ZipEntry& entry : *entries) names.push_back(std::move(entry.name));
    return names;
}

std::optional<std::vector<std::string>> zipEntryNames(const std::filesystem::path& file) {
    std::error_code ec;
    uint64_t size = std::filesystem::file_size(file, ec);
    format::UniqueFile in = ec ? nullptr : format::openForReading(file);
    if (!in) return std::nullopt;
    return zipEntryNames(size, fileReader(in.get()));
}

}  // namespace kestro::tool
