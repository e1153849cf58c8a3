#include "runtime/registry_sources.h"

#include <algorithm>
#include <array>

#include "runtime/registry_order.h"

namespace kestro {

namespace {

// Sources of the key names: Red Hat's and Adoptium's installers write the JavaSoft keys
// of Java 9 and later (Adoptium: wix/Includes/OpenJDK.Variables.wxi.template, key
// "JDK" or "JRE" from version 9); Amazon Corretto writes them too. The installer layout
// is Adoptium's wix/Main.hotspot.wxs: SOFTWARE\{vendor}\{JDK|JRE}\{version}\{jvm}\MSI,
// value "Path"; the vendor is "Eclipse Adoptium" today, "Eclipse Foundation" and
// "AdoptOpenJDK" before; Microsoft builds its MSI from the same sources, as "Microsoft",
// JDKs only. Today's template (wix/Main.wxs.template) writes that key under HKMU, the
// user's hive for a per-user install (ALLUSERS=2 MSIINSTALLPERUSER=1), and the JavaSoft
// keys under HKLM only; the older vendors' installers were per-machine. Azul's Zulu and
// BellSoft's Liberica MSIs register below their own keys, a sub-key per installation
// with "InstallationPath", as the public tools that find Java read them.
constexpr std::array kSources{
    RegistrySource{"SOFTWARE\\JavaSoft\\JDK", RegistryLayout::JavaHome, false, false},
    RegistrySource{"SOFTWARE\\JavaSoft\\JRE", RegistryLayout::JavaHome, true, false},
    RegistrySource{"SOFTWARE\\Eclipse Adoptium\\JDK", RegistryLayout::InstallerPath, false, true},
    RegistrySource{"SOFTWARE\\Eclipse Adoptium\\JRE", RegistryLayout::InstallerPath, true, true},
    RegistrySource{"SOFTWARE\\Eclipse Foundation\\JDK", RegistryLayout::InstallerPath, false, false},
    RegistrySource{"SOFTWARE\\Eclipse Foundation\\JRE", RegistryLayout::InstallerPath, true, false},
    RegistrySource{"SOFTWARE\\AdoptOpenJDK\\JDK", RegistryLayout::InstallerPath, false, false},
    RegistrySource{"SOFTWARE\\AdoptOpenJDK\\JRE", RegistryLayout::InstallerPath, true, false},
    RegistrySource{"SOFTWARE\\Microsoft\\JDK", RegistryLayout::InstallerPath, false, true},
    RegistrySource{"SOFTWARE\\Azul Systems\\Zulu", RegistryLayout::InstallationPath, false, false},
    RegistrySource{"SOFTWARE\\BellSoft\\Liberica", RegistryLayout::InstallationPath, false, false},
};

// A product version as the runtime names itself: 8.0.392.8 is 1.8.0.392.8.
std::string asJavaVersion(const std::string& productVersion) {
    size_t end = productVersion.find('.');
    std::string_view major = std::string_view(productVersion).substr(0, end);
    bool old = major.size() == 1 && major[0] >= '2' && major[0] <= '8';
    return old ? "1." + productVersion : productVersion;
}

}  // namespace

std::span<const RegistrySource> registrySources() { return kSources; }

std::vector<std::string> versionKeysToTry(const RegistrySource& source, std::vector<std::string> names,
                                          std::string_view lowerBound, std::string_view upperBound) {
    if (source.layout == RegistryLayout::JavaHome) return namesToTry(std::move(names), lowerBound, upperBound);
    if (source.layout == RegistryLayout::InstallationPath) return names;
    return namesToTry(std::move(names), lowerBound, upperBound, asJavaVersion);
}

std::string installerPathKey(std::string_view subKey) {
    // Registry key names ignore case.
    bool isMsi = subKey.size() == 3 && std::equal(subKey.begin(), subKey.end(), "MSI",
                                                  [](char a, char b) { return (a & ~0x20) == b; });
    std::string key(subKey);
    if (!isMsi) key += "\\MSI";
    return key;
}

std::string homeFromInstallerPath(std::string_view path) {
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::string(path);
}

const FoundRuntime* newestRuntime(const std::vector<FoundRuntime>& found) {
    const FoundRuntime* best = nullptr;
    for (const FoundRuntime& runtime : found)
        if (!best || versionGreater(runtime.version, best->version)) best = &runtime;
    return best;
}

}  // namespace kestro
