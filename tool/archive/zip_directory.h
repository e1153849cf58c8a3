// The names of a zip archive's entries (a jar is one), read from its central directory
// alone, without inflating anything.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestro::tool {

// Fills `out` with the `n` bytes at `offset` of an archive; false when it cannot.
using ArchiveReader = std::function<bool(uint64_t offset, size_t n, std::string& out)>;

// An ArchiveReader of an open file.
ArchiveReader fileReader(std::FILE* file);

// What the central directory says of an entry.
struct ZipEntry {
    std::string name;
    uint32_t method = 0;       // 0 stored, 8 deflated
    uint32_t packedSize = 0;   // the bytes in the archive
    uint32_t size = 0;         // the bytes unpacked
    uint32_t localOffset = 0;  // of the entry's local header
};

// The entries, in the directory's order, of the archive of `size` bytes that `read`
// gives. Nothing when it is no zip archive that this reader knows: no end record, a
// zip64 archive, or a directory that does not fit the archive; `problem`, when given,
// then says which. Every count and offset is checked against the archive before it is
// used.
std::optional<std::vector<ZipEntry>> zipEntries(uint64_t size, const ArchiveReader& read,
                                                std::string* problem = nullptr);

// The entry names alone.
std::optional<std::vector<std::string>> zipEntryNames(uint64_t size, const ArchiveReader& read);

// The same for a file; nothing also when it cannot be read.
std::optional<std::vector<std::string>> zipEntryNames(const std::filesystem::path& file);

}  // namespace kestro::tool
