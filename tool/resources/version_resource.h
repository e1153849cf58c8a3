// The version information resource (VS_VERSIONINFO) that Explorer shows on a file's
// Details tab: the file and product version as numbers, and a table of texts in US
// English with the Unicode code page.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestro::tool::resources {

using VersionNumbers = std::array<uint16_t, 4>;

// The texts, UTF-8. An empty text is left out of the table.
struct VersionStrings {
    std::string companyName;
    std::string fileDescription;
    std::string fileVersion;
    std::string internalName;
    std::string legalCopyright;
    std::string originalFilename;
    std::string productName;
    std::string productVersion;

    bool operator==(const VersionStrings&) const = default;
};

struct VersionInfo {
    VersionNumbers fileVersion{1, 0, 0, 0};
    VersionNumbers productVersion{1, 0, 0, 0};
    VersionStrings strings;

    bool operator==(const VersionInfo&) const = default;
};

// "1.2.3" or "1.2.3.4", each part a decimal number from 0 to 65535 (a missing fourth
// part is 0). Throws ResourceError saying what is wrong.
VersionNumbers parseVersionNumbers(std::string_view text);
std::string versionText(const VersionNumbers& numbers);  // "1.2.3.4"

// The resource's bytes. Texts must be valid UTF-8; throws ResourceError when the whole
// exceeds the format's 65535 bytes.
std::vector<uint8_t> versionResource(const VersionInfo& info);

// What a version resource holds, as far as VersionInfo can say it: the fixed numbers and
// the texts of its first string table that VersionStrings names. Nothing when the data
// is not a version resource (lengths outside their blocks, no fixed part, ...). Whether
// the result says everything is for the caller to find out, by encoding it again.
std::optional<VersionInfo> decodeVersionResource(std::span<const uint8_t> data);

}  // namespace kestro::tool::resources
