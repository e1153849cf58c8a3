#include "tool/package/package_layout.h"

#include <algorithm>
#include <stdexcept>

#include "format/native_file.h"
#include "tool/settings/setting_error.h"

namespace kestro::tool::packaging {

namespace fs = std::filesystem;

namespace {

// Every regular file below `dir`, as "/"-separated paths relative to it, sorted, so that
// the package is the same for the same runtime.
std::vector<std::string> filesBelow(const fs::path& dir) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec)) continue;
        if (!it->is_regular_file(ec))
            throw std::runtime_error("package.runtime: " + format::pathText(it->path()) + " is no regular file");
        std::string relative = format::pathText(fs::relative(it->path(), dir));
        std::ranges::replace(relative, '\\', '/');
        found.push_back(relative);
    }
    if (ec) throw std::runtime_error("package.runtime: cannot list " + format::pathText(dir) + ": " + ec.message());
    std::ranges::sort(found);
    return found;
}

template <class F>
auto defaulted(const char* what, F&& check) {
    try {
        return check();
    } catch (const SettingError& e) {
        throw std::runtime_error(std::string(what) + ": " + e.what());
    }
}

}  // namespace

PackageLayout planPackage(const PackageSettings& settings, const LauncherFacts& launcher) {
    PackageLayout layout;
    layout.name = settings.name ? *settings.name : defaulted("package.name (from the launcher's caption)", [&] {
        return checkProductName(launcher.caption);
    });
    layout.version = settings.version ? *settings.version : defaulted("package.version (from version.product_version)", [&] {
        return checkProductVersion(productVersionFrom(launcher.productVersion));
    });
    layout.manufacturer = settings.manufacturer;
    layout.upgradeCode = settings.upgradeCode;
    layout.scope = settings.scope;
    layout.launcherSource = launcher.path;
    layout.launcherTarget = format::pathText(launcher.path.filename());
    layout.startMenuShortcut = settings.startMenuShortcut;
    layout.desktopShortcut = settings.desktopShortcut;
    for (const PackageFile& file : settings.files) layout.files.push_back({file.source, file.target});
    if (settings.runtime)
        for (const std::string& relative : filesBelow(*settings.runtime))
            layout.files.push_back({*settings.runtime / format::pathFromUtf8(relative), "jre/" + relative});
    for (const FileAssociation& a : settings.associations) {
        InstalledAssociation installed{a.extension, a.description, a.contentType, std::nullopt};
        if (a.icon) {
            installed.iconTarget = "icons/" + a.extension + ".ico";
            layout.files.push_back({*a.icon, *installed.iconTarget});
        }
        layout.associations.push_back(std::move(installed));
    }
    return layout;
}

}  // namespace kestro::tool::packaging
