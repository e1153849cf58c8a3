// The manifest of a jar (META-INF/MANIFEST.MF), for kestro init.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "tool/archive/zip_directory.h"

namespace kestro::tool::init {

// The manifest's bytes out of the zip archive of `size` bytes that `read` gives: found through the central
// directory (its name compared without regard to letter case), stored or deflated.
// Empty when the archive has none. Throws std::runtime_error for what is no zip archive
// or a damaged one; no size read from the archive is trusted beyond its end, and a
// manifest over 1 MB is refused.
std::string manifestOf(uint64_t size, const ArchiveReader& read);

// The same for an archive in memory.
std::string manifestOf(std::span<const uint8_t> zip);

// The attributes of a manifest's main section (up to its first empty line): names as
// written, continuation lines (one leading space) joined to their line, "\r\n", "\r" and
// "\n" all line ends. A name given twice keeps its first value.
std::map<std::string, std::string> mainAttributes(std::string_view manifest);

}  // namespace kestro::tool::init
