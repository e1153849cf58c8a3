// From the [package] settings and a built launcher to what the package holds: the
// defaults filled in, the runtime directory's files listed as jre\..., the association
// icons given places of their own.
#pragma once

#include <filesystem>
#include <string>

#include "tool/package/package_settings.h"
#include "tool/package/wix_source.h"

namespace kestro::tool::packaging {

struct LauncherFacts {
    std::filesystem::path path;   // the built launcher
    std::string caption;          // its error box caption, UTF-8: the name's default
    std::string productVersion;   // its version information's product version ("1.0.0.0")
};

// Throws std::runtime_error when the runtime directory cannot be listed or a default
// cannot serve (a caption that is no folder name, say).
PackageLayout planPackage(const PackageSettings& settings, const LauncherFacts& launcher);

}  // namespace kestro::tool::packaging
