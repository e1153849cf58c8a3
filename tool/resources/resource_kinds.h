// The resource types, ids and language that the build tool's readable settings write,
// and the one error type of their encoders.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <tuple>

#include "format/resource_section.h"

namespace kestro::tool::resources {

using format::Resource;

inline constexpr uint16_t kTypeIcon = format::kRtIcon;
inline constexpr uint16_t kTypeRcData = format::kRtRcdata;
inline constexpr uint16_t kTypeGroupIcon = format::kRtGroupIcon;
inline constexpr uint16_t kTypeVersion = format::kRtVersion;
inline constexpr uint16_t kTypeManifest = format::kRtManifest;

// English (United States): what resource compilers write by default, and the language of
// the version information's string table.
inline constexpr uint16_t kLanguage = 0x0409;

// The splash image, where the launcher looks for it.
inline constexpr uint16_t kSplashImageId = 10000;
// The icon group: the only one, so Explorer shows it. Its images are numbered from 1.
inline constexpr uint16_t kIconGroupId = 1;
inline constexpr uint16_t kFirstIconId = 1;
// The version information and the manifest of a program are id 1 by convention; the
// loader reads the manifest of an executable only there.
inline constexpr uint16_t kVersionId = 1;
inline constexpr uint16_t kManifestId = 1;

// The order of the resource tree: by type, then id.
inline bool byPlace(const Resource& a, const Resource& b) { return std::tie(a.type, a.id) < std::tie(b.type, b.id); }

// Input that does not make the resource: the message says what is wrong with it.
class ResourceError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace kestro::tool::resources
