// What a built launcher carries: its block head, in stored order, and where each
// included file's data lies. Reading trusts no size or count from the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "format/block_format.h"
#include "format/byte_source.h"
#include "format/resource_section.h"
#include "tool/text/code_page.h"

namespace kestro::tool {

struct IncludedRecord {
    std::string name;  // UTF-8; empty when the name list has no name for it
    uint64_t offset;   // of the first data byte
    uint64_t size;
};

struct LauncherContents {
    uint64_t fileSize = 0;
    uint64_t blockOffset = 0;
    uint16_t subsystem = 2;  // the Subsystem field of the executable's header (2: windowed)
    format::BlockHead head;
    std::vector<IncludedRecord> files;
    // Of the resource section a build wrote, sorted by type, id and language.
    std::vector<format::Resource> resources;
    // Oddities that do not stop inspection but that a rebuild would not reproduce.
    std::vector<std::string> warnings;
};

// Thrown for a file that is no launcher or whose block is malformed.
class InspectError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The launcher's reading of an integer entry (lookupInt): decimal digits after optional
// blanks and sign, up to the first other character; 0 when the key is absent.
int64_t storedInteger(const format::BlockHead& head, format::ConfigKey key);

// One sentence on what a user gets from the instance settings (single instance or not,
// and its scope).
std::string instanceBehaviour(const format::BlockHead& head);

// `cp` decodes the included file names.
LauncherContents readLauncher(const std::filesystem::path& path, CodePage cp);

// The same from any source; messages name `file`.
LauncherContents readLauncher(format::ByteSource& source, const std::string& file, CodePage cp);

}  // namespace kestro::tool
