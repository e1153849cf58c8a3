// The application manifest (RT_MANIFEST 1): the privilege level the program asks for,
// the version 6 common controls (the current look of message boxes), DPI and long-path
// awareness, and the Windows versions it is known to run on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tool/resources/version_resource.h"

namespace kestro::tool::resources {

enum class ExecutionLevel { AsInvoker, RequireAdministrator, HighestAvailable };

// "asInvoker", "requireAdministrator", "highestAvailable" (as the manifest spells them).
std::optional<ExecutionLevel> executionLevelByName(std::string_view name);
std::string_view executionLevelName(ExecutionLevel level);

struct ManifestSettings {
    std::string name;  // the assembly name; see assemblyName
    VersionNumbers version{1, 0, 0, 0};
    ExecutionLevel level = ExecutionLevel::AsInvoker;
    bool dpiAware = true;       // per-monitor (v2) awareness
    bool longPathAware = true;  // paths beyond MAX_PATH, where the system allows them

    bool operator==(const ManifestSettings&) const = default;
};

// An assembly name made from any text: letters, digits, '.', '-' and '_' kept, every
// other character '_'; "Application" for an empty text.
std::string assemblyName(std::string_view text);

// The UTF-8 XML of the manifest.
std::string generateManifest(const ManifestSettings& settings);

// The settings that generateManifest turns into exactly `text`; nothing for any other text.
std::optional<ManifestSettings> decodeGeneratedManifest(std::string_view text);

// Why a manifest written by the user cannot be one, or nothing. Checks only what a
// typing slip breaks: valid UTF-8 (a byte-order mark allowed), no zero byte, and a first
// element <assembly> (any namespace prefix) after the XML declaration, comments and
// white space, closed at the end by </assembly>.
std::optional<std::string> manifestProblem(std::string_view text);

// The level="..." of the first requestedExecutionLevel element, for reports.
std::optional<std::string> requestedExecutionLevel(std::string_view text);

}  // namespace kestro::tool::resources
