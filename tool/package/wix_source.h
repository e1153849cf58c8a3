// The WiX source of a Windows Installer package: one product, its files beside the
// launcher, shortcuts, file associations, and an upgrade that replaces older versions.
// The same text serves wixl on Linux and the WiX toolset on Windows, so it keeps to what
// both compile (WiX 3 schema; no extensions, no user interface).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tool/package/package_settings.h"

namespace kestro::tool::packaging {

struct InstalledFile {
    std::filesystem::path source;
    std::string target;  // below the installation folder, "/"-separated
};

struct InstalledAssociation {
    std::string extension;
    std::string description;
    std::optional<std::string> contentType;
    std::optional<std::string> iconTarget;  // an installed file's target; none: the launcher's icon
};

// Everything the package holds, every default filled in.
struct PackageLayout {
    std::string name, manufacturer, version, upgradeCode;
    InstallScope scope = InstallScope::PerMachine;
    std::filesystem::path launcherSource;
    std::string launcherTarget;        // "Hello.exe", in the installation folder itself
    std::vector<InstalledFile> files;  // the others, in the order given
    bool startMenuShortcut = true, desktopShortcut = false;
    std::vector<InstalledAssociation> associations;
    // The WiX source's folder: sources are written relative to it, as wixl reads them
    // (and the WiX toolset, run in that folder).
    std::filesystem::path sourceBase;
};

// The WiX source. Throws std::runtime_error when two files would be installed at one place.
std::string wixSource(const PackageLayout& layout);

// An identifier for a table row of an installed place ("f_lib_greeting.jar_1a2b3c4d"):
// letters, digits, '_' and '.', at most 72 characters, the same for the same place in
// every version, different for places that differ in more than letter case.
std::string rowId(std::string_view kind, std::string_view target);

// The component GUID of an installed place: derived from the upgrade code and the place,
// so that every version of the product gives the same place the same component, which a
// major upgrade needs, and other products never share it.
std::string componentGuid(std::string_view upgradeCode, std::string_view place);

}  // namespace kestro::tool::packaging
