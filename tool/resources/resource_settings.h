// The readable resource settings: splash.image, [icon], [version] and [manifest]. They
// are read and checked with the rest of the configuration file, so that every problem
// names its line; the output's name fills in the defaults when the launcher is built.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <toml++/toml.h>

#include "tool/resources/manifest_resource.h"
#include "tool/resources/resource_kinds.h"
#include "tool/resources/version_resource.h"

namespace kestro::tool::resources {

// Each text is as the file gives it (UTF-8); nothing where the default applies.
struct VersionRequest {
    std::optional<bool> generate;
    std::optional<std::string> fileVersion, productVersion;
    std::optional<std::string> company, description, copyright, originalFilename, productName, internalName;
};

struct ManifestRequest {
    std::optional<bool> generate;
    std::optional<ExecutionLevel> level;
    std::optional<bool> dpiAware, longPathAware;
    std::optional<std::string> file;  // the user's manifest, checked
};

struct ResourceRequest {
    std::optional<std::vector<uint8_t>> splashImage;
    std::vector<Resource> icon;  // RT_ICON entries and their group; empty for none
    VersionRequest version;
    ManifestRequest manifest;
    // Whether version information and a manifest are written when the file has no
    // [version] / [manifest] group (build.defaults).
    bool defaults = true;
    bool versionGiven = false, manifestGiven = false;  // the groups are in the file

    // Without "generate", a group in the file asks for its resource, and the defaults do.
    bool writesVersion() const { return version.generate.value_or(defaults || versionGiven); }
    bool writesManifest() const {
        return manifest.generate.value_or(defaults || manifestGiven) || manifest.file.has_value();
    }
};

// The longest version text a setting gives: longer ones could not fit the version
// information's 64 KB.
inline constexpr size_t kMaxVersionText = 2048;

// The groups of their own: "icon", "version", "manifest".
std::span<const std::string_view> resourceGroups();
// The names a resource group (or "splash" for its image) knows.
std::vector<std::string> resourceSettingNames(std::string_view group);

// Takes one setting's value into `request`. Files are relative to `base`. Throws
// SettingError for a value of the wrong type, a number that is no version, an unknown
// execution level, a file that is missing, unreadable or not of its kind.
void readResourceSetting(ResourceRequest& request, std::string_view group, std::string_view name,
                         const toml::node& value, const std::filesystem::path& base);

// The version information and manifest settings with the defaults that `output` (the
// launcher's path) gives: OriginalFilename its file name; InternalName and ProductName
// its stem; FileDescription the product name; versions 1.0.0.0, the product version the
// file version's; the manifest's assembly named after the internal name, with the file
// version.
VersionInfo resolveVersion(const VersionRequest& request, const std::filesystem::path& output);
ManifestSettings resolveManifest(const ManifestRequest& request, const VersionInfo& version);

// Every resource the request makes, sorted by type and id. Throws ResourceError when
// the version texts make a resource beyond the format's size.
std::vector<Resource> resolveResources(const ResourceRequest& request, const std::filesystem::path& output);

}  // namespace kestro::tool::resources
