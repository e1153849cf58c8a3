// The readable settings that build a launcher's resources again, byte for byte: what
// `inspect --toml` prints for them, and the files it extracts for them.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tool/resources/resource_kinds.h"

namespace kestro::tool::resources {

// A file the settings name: the splash image, the icon, a manifest of the user's.
struct ResourceFile {
    std::string name;  // "icon.ico", "splash.png", "app.manifest"
    std::vector<uint8_t> data;
};

struct ResourceExport {
    std::string tables;                      // [icon], [version], [manifest], each after a blank line
    std::optional<std::string> splashImage;  // the TOML value of splash.image
    std::vector<Resource> raw;               // resources that no setting reproduces exactly
    std::vector<ResourceFile> files;
    // The product name the printed [version] gives whatever the output is called; none
    // when the printed settings leave it to the output's name.
    std::optional<std::string> productName;
};

// Splits `all` into what the readable settings give back exactly (a resource counts
// only when encoding its decoded settings again gives the same bytes, ids and
// language) and the rest. `defaults` as the printed file's build.defaults: the tables
// then switch off what the build would otherwise generate. `splashKeysStored`: whether
// the block holds both splash keys, which the defaults would otherwise add to an image.
// `sourceOf` gives the printed path of an extracted file's name.
ResourceExport exportResources(std::span<const Resource> all, bool defaults, bool splashKeysStored,
                               const std::function<std::string(const std::string&)>& sourceOf);

// One line on what a resource holds, where that is cheap to say: "icon: 16x16 32-bit,
// 32x32 PNG", "version 1.2.3.4, ProductName \"Demo\"", "manifest: asInvoker".
std::optional<std::string> describeResource(const Resource& resource, std::span<const Resource> all);

}  // namespace kestro::tool::resources
