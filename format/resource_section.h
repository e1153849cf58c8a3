// The launcher's resources (icon, version information, manifest, splash image): the
// resource section's tree and its place in the image.
//
// A build adds the resources as a new last section named ".rsrc", behind the stub's
// own sections, and points the resource table's data directory entry at it. The
// configuration block follows that section as it followed the stub's last one. A
// later build recognises the section by exactly these two marks: the last section is
// named ".rsrc" and the resource table entry points at its start. It then replaces the
// section instead of stacking a second one. A resource table anywhere else (a stub that
// was linked with resources of its own) is refused rather than silently dropped.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "format/block_writer.h"

namespace kestro::format {

// The standard resource types a launcher carries.
inline constexpr uint16_t kRtIcon = 3;
inline constexpr uint16_t kRtRcdata = 10;
inline constexpr uint16_t kRtGroupIcon = 14;
inline constexpr uint16_t kRtVersion = 16;
inline constexpr uint16_t kRtManifest = 24;

// One resource with integer type, id and language; names are not supported.
struct Resource {
    uint16_t type = 0;
    uint16_t id = 0;
    uint16_t language = 0;
    std::vector<uint8_t> data;

    bool operator==(const Resource&) const = default;
};

// The contents of a resource section placed at `sectionRva`: the directory tree
// type → id → language, each level sorted by number as the system's lookup requires,
// then the data entries, then each resource's bytes at a multiple of 8. Of resources
// with equal type, id and language only the last is kept. The size is a multiple of 8.
std::vector<uint8_t> buildResourceSection(const std::vector<Resource>& resources, uint32_t sectionRva);

// Reads a resource section placed at `sectionRva` back into resources sorted by type,
// id and language. Trusts no count or offset: a directory reached twice, a tree deeper
// or shallower than three levels, named entries, a number listed twice in a directory,
// data outside the section, or more data than the section holds is refused with the
// reason in `error`.
std::optional<std::vector<Resource>> parseResourceSection(std::span<const uint8_t> section, uint32_t sectionRva,
                                                          std::string& error);

// The raw data of a resource section that a build wrote: the image's last section,
// when it is named ".rsrc" and the resource table entry points at it. `headers` holds
// at least the headers and section table that `layout` was parsed from.
struct SectionPlace {
    uint32_t rva = 0;
    uint32_t virtualSize = 0;
    uint32_t rawOffset = 0;
    uint32_t rawSize = 0;
};
std::optional<SectionPlace> builtResourceSection(std::span<const uint8_t> headers, const PeLayout& layout);

// Gives the stub's image exactly `resources`: replaces a section an earlier build wrote
// (or removes it, for an empty list) and adds a new last section with them, updating the
// resource table entry, the section table, NumberOfSections, SizeOfImage and
// SizeOfInitializedData, and `stub.layout`. Refuses (and leaves the stub unchanged) when
// the headers have no room for another section header, the image carries a resource
// table of its own, or its alignments are unusable.
[[nodiscard]] bool setResources(Stub& stub, const std::vector<Resource>& resources, std::string& error);

// The resources of the section an earlier build wrote; an empty list when there is none.
[[nodiscard]] bool readResources(const Stub& stub, std::vector<Resource>& resources, std::string& error);

}  // namespace kestro::format
