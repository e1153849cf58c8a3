// Writing a launcher: a stub's image followed by a configuration block, the included
// files and the trailer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "format/block_format.h"
#include "format/pe_layout.h"

namespace kestro::format {

struct IncludedFile {
    std::string name;                  // the name below the temporary directory, as stored in key 2003
    std::filesystem::path source;      // where the build tool reads the content from
};

struct Stub {
    std::vector<uint8_t> image;  // the executable up to the end of its last section
    PeLayout layout;
};

// Reads a launcher stub, or a launcher that already carries a block: whatever lies
// behind the last section (an old block, its trailer, a signature) is left out, and a
// certificate table entry pointing there is cleared.
[[nodiscard]] bool loadStub(const std::filesystem::path& path, Stub& stub, std::string& error);

// Makes the image a windowed (kSubsystemWindowsGui) or console (kSubsystemWindowsCui)
// program. The header's checksum is set when the launcher is written.
void setSubsystem(Stub& stub, uint16_t subsystem);

// The block from its magic number to the end of the locale sets.
std::vector<uint8_t> serializeHead(const BlockHead& head);

using ProgressFn = std::function<void(uint64_t done, uint64_t total)>;

// Writes stub, block head, the included files' records and the trailer to `out`, with
// the image's CheckSum field set to the standard checksum of the whole file. The
// file is written beside `out` and renamed into place only when complete, so a failure
// leaves no partial output behind. When `out` is a symbolic link, the file it points to
// is written (through the same rename beside it) and the link stays; an existing `out`
// that is not a regular file (a directory, device, pipe or socket) is refused.
[[nodiscard]] bool writeLauncher(const Stub& stub, const BlockHead& head, const std::vector<IncludedFile>& files,
                                 const std::filesystem::path& out, std::string& error, const ProgressFn& progress = {});

}  // namespace kestro::format
