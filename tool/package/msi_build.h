// Compiling a WiX source into a Windows Installer package: wixl on Linux. The Windows
// tool has no compiler of its own to call; it writes the source for the WiX toolset.
#pragma once

#include <filesystem>

namespace kestro::tool::packaging {

// Whether this tool compiles packages itself.
bool compilesPackages();

// Compiles `wxs` into `msi`. Throws std::runtime_error, with the compiler's own words
// when it refused the source, or naming the Debian package when wixl is missing.
void compilePackage(const std::filesystem::path& wxs, const std::filesystem::path& msi);

}  // namespace kestro::tool::packaging
