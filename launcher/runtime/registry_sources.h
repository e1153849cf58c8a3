// Where today's Java installers register their runtimes, beside the two JavaSoft
// families of the older ones, and how the registry entry chooses among all registered
// runtimes. Each key and value name comes from the vendor's own installer sources or
// documentation; docs/configuration.md ("How a launcher finds Java") names them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

enum class RegistryLayout {
    // Version-named sub-keys, each with "JavaHome" (the JavaSoft layout).
    JavaHome,
    // An MSI built from the Adoptium installer sources: version-named sub-keys (the MSI
    // product version, 21.0.2.13 or 8.0.392.8), below each a sub-key per VM ("hotspot",
    // "openj9") holding "MSI" with "Path"; installers before March 2019 put "MSI" right
    // below the version.
    InstallerPath,
    // Sub-keys named by the product ("zulu-17"), each with "InstallationPath": the names
    // say nothing of the version, so every one is checked and the newest passing wins.
    InstallationPath,
};

struct RegistrySource {
    const char* key;  // below HKEY_LOCAL_MACHINE, and below HKEY_CURRENT_USER when perUser
    RegistryLayout layout;
    bool runtimeOnly;  // a JRE registration: not read when a JDK is required
    bool perUser;      // its installer can install for one user, writing the key there
};

// The sources, in the order they are read: all of the machine's, then the user's.
std::span<const RegistrySource> registrySources();

// The version sub-keys of a source that pass the bounds, to be tried from the newest.
// Product versions of Java 8 and before ("8.0.392.8") are held against the bounds as the
// runtime names itself ("1.8.0.392.8"), so that a maximum of 1.8 keeps them.
std::vector<std::string> versionKeysToTry(const RegistrySource& source, std::vector<std::string> names,
                                          std::string_view lowerBound, std::string_view upperBound);

// Below a version sub-key of an installer source: the key that holds "Path" for one of
// its sub-keys ("hotspot" gives "hotspot\MSI"; "MSI" itself is the older layout).
std::string installerPathKey(std::string_view subKey);

// A runtime home as an MSI records it (its install directory, with a trailing
// backslash), ready for "\bin\java.exe" to be appended.
std::string homeFromInstallerPath(std::string_view path);

struct FoundRuntime {
    std::string javaExe, version;
};

// The newest of the registered runtimes found, by the version order; of equal versions
// the one found first. Null when none was found.
const FoundRuntime* newestRuntime(const std::vector<FoundRuntime>& found);

}  // namespace kestro
