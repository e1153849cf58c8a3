#include "tool/package/wix_source.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>

#include "format/native_file.h"

namespace kestro::tool::packaging {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

uint64_t fnv1a(std::string_view text, uint64_t seed) {
    uint64_t h = seed;
    for (unsigned char c : text) h = (h ^ c) * 0x100000001b3ULL;
    return h;
}

std::string hex(uint64_t value, int digits) {
    std::string out(size_t(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[size_t(i)] = "0123456789ABCDEF"[value & 15];
    return out;
}

std::string xml(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// Windows Installer reads [name] in formatted values as a property: brackets and braces
// of a plain text are escaped as [\[] and [\]].
std::string formatted(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '[' || c == ']' || c == '{' || c == '}') out += std::string("[\\") + c + "]";
        else out += c;
    }
    return out;
}

std::string parentOf(const std::string& target) {
    size_t slash = target.rfind('/');
    return slash == std::string::npos ? std::string() : target.substr(0, slash);
}

std::string leafOf(const std::string& target) { return target.substr(target.rfind('/') + 1); }

// "Hello World" and "hello": "HelloWorld.hello"; a class name holds no blanks or brackets.
std::string progIdOf(std::string_view name, std::string_view extension) {
    std::string id;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c))) id += c;
    return (id.empty() ? "Application" : id) + "." + std::string(extension);
}

std::string directoryId(const std::string& dir) { return dir.empty() ? "INSTALLDIR" : rowId("d", dir); }

class Writer {
public:
    explicit Writer(const PackageLayout& layout) : l_(layout) {
        root_ = l_.scope == InstallScope::PerUser ? "HKCU" : "HKLM";
        appKey_ = "Software\\" + l_.manufacturer + "\\" + l_.name;
    }

    std::string text() {
        collect();
        line(0, "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
        line(0, "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">");
        line(1, "<Product Id=\"*\" Name=\"" + xml(l_.name) + "\" Language=\"1033\" Version=\"" + xml(l_.version) +
                    "\" Manufacturer=\"" + xml(l_.manufacturer) + "\" UpgradeCode=\"" + xml(l_.upgradeCode) + "\">");
        line(2, std::string("<Package InstallerVersion=\"500\" Compressed=\"yes\" InstallScope=\"") +
                    (l_.scope == InstallScope::PerUser ? "perUser" : "perMachine") + "\" Description=\"" +
                    xml(l_.name) + "\" Manufacturer=\"" + xml(l_.manufacturer) + "\"/>");
        // A newer version removes the older one first; an older one refuses to install over it.
        line(2, "<MajorUpgrade DowngradeErrorMessage=\"A newer version of [ProductName] is already installed.\"/>");
        line(2, "<Media Id=\"1\" Cabinet=\"product.cab\" EmbedCab=\"yes\"/>");
        line(2, "<Icon Id=\"LauncherIcon.exe\" SourceFile=\"" + xml(source(l_.launcherSource)) + "\"/>");
        line(2, "<Property Id=\"ARPPRODUCTICON\" Value=\"LauncherIcon.exe\"/>");
        line(2, "<Property Id=\"ARPNOMODIFY\" Value=\"1\"/>");
        line(2, "<Directory Id=\"TARGETDIR\" Name=\"SourceDir\">");
        if (l_.scope == InstallScope::PerUser) {
            line(3, "<Directory Id=\"LocalAppDataFolder\">");
            line(4, "<Directory Id=\"UserProgramsFolder\" Name=\"Programs\">");
            installFolder(5);
            line(4, "</Directory>");
        } else {
            line(3, "<Directory Id=\"ProgramFiles64Folder\">");
            installFolder(4);
        }
        line(3, "</Directory>");
        if (l_.startMenuShortcut) shortcutFolder("ProgramMenuFolder", "StartMenuShortcut", "start_menu_shortcut");
        if (l_.desktopShortcut) shortcutFolder("DesktopFolder", "DesktopShortcut", "desktop_shortcut");
        line(2, "</Directory>");
        line(2, "<Feature Id=\"Complete\" Title=\"" + xml(l_.name) + "\" Level=\"1\">");
        for (const std::string& id : components_) line(3, "<ComponentRef Id=\"" + id + "\"/>");
        line(2, "</Feature>");
        line(1, "</Product>");
        line(0, "</Wix>");
        return out_;
    }

private:
    std::string source(const std::filesystem::path& path) const {
        return format::pathText(l_.sourceBase.empty() ? path : path.lexically_relative(l_.sourceBase));
    }

    void line(int depth, const std::string& text) { out_ += std::string(size_t(depth) * 2, ' ') + text + "\n"; }

    // Every folder below the installation folder, and the files of each.
    void collect() {
        std::set<std::string> places{lower(l_.launcherTarget)};
        for (const InstalledFile& file : l_.files) {
            if (!places.insert(lower(file.target)).second)
                throw std::runtime_error("the package would install two files as " + file.target);
            filesIn_[parentOf(file.target)].push_back(&file);
            for (std::string dir = parentOf(file.target); !dir.empty(); dir = parentOf(dir)) {
                if (places.contains(lower(dir)))
                    if (!folders_.contains(dir)) throw std::runtime_error(dir + " would be both a file and a folder");
                folders_.insert(dir);
                places.insert(lower(dir));
            }
        }
    }

    void installFolder(int depth) {
        line(depth, "<Directory Id=\"INSTALLDIR\" Name=\"" + xml(l_.name) + "\">");
        launcherComponent(depth + 1);
        folderContents("", depth + 1);
        line(depth, "</Directory>");
    }

    void folderContents(const std::string& dir, int depth) {
        for (const InstalledFile* file : filesIn_[dir]) {
            std::string id = component("c", file->target);
            line(depth, "<Component Id=\"" + id + "\" Guid=\"" + componentGuid(l_.upgradeCode, file->target) +
                            "\" Win64=\"yes\">");
            line(depth + 1, "<File Id=\"" + rowId("f", file->target) + "\" Name=\"" + xml(leafOf(file->target)) +
                                "\" Source=\"" + xml(source(file->source)) + "\" KeyPath=\"yes\"/>");
            line(depth, "</Component>");
        }
        for (const std::string& sub : folders_)
            if (parentOf(sub) == dir) {
                line(depth, "<Directory Id=\"" + directoryId(sub) + "\" Name=\"" + xml(leafOf(sub)) + "\">");
                folderContents(sub, depth + 1);
                line(depth, "</Directory>");
            }
    }

    // The launcher, with the file associations, which live and go with it.
    void launcherComponent(int depth) {
        std::string id = component("c", l_.launcherTarget);
        line(depth, "<Component Id=\"" + id + "\" Guid=\"" + componentGuid(l_.upgradeCode, l_.launcherTarget) +
                        "\" Win64=\"yes\">");
        line(depth + 1, "<File Id=\"Launcher\" Name=\"" + xml(l_.launcherTarget) + "\" Source=\"" +
                            xml(source(l_.launcherSource)) + "\" KeyPath=\"yes\"/>");
        for (const InstalledAssociation& a : l_.associations) {
            std::string progId = progIdOf(l_.name, a.extension);
            std::string classes = "Software\\Classes\\";
            registry(depth + 1, classes + "." + a.extension, "", progId);
            if (a.contentType) registry(depth + 1, classes + "." + a.extension, "Content Type", *a.contentType);
            registry(depth + 1, classes + progId, "", formatted(a.description));
            std::string icon = a.iconTarget ? "\"[#" + rowId("f", *a.iconTarget) + "]\"" : "\"[#Launcher]\",0";
            registry(depth + 1, classes + progId + "\\DefaultIcon", "", icon);
            // The file as the launcher's one argument; a running single instance gets it handed over.
            registry(depth + 1, classes + progId + "\\shell\\open\\command", "", "\"[#Launcher]\" \"%1\"");
        }
        line(depth, "</Component>");
    }

    void registry(int depth, const std::string& key, const std::string& name, const std::string& value) {
        line(depth, "<RegistryValue Root=\"" + root_ + "\" Key=\"" + xml(key) + "\"" +
                        (name.empty() ? "" : " Name=\"" + xml(name) + "\"") + " Type=\"string\" Value=\"" + xml(value) +
                        "\"/>");
    }

    // A shortcut's component needs a key path of its own; a registry value of the product is one.
    void shortcutFolder(const std::string& folder, const std::string& shortcutId, const std::string& valueName) {
        line(3, "<Directory Id=\"" + folder + "\">");
        std::string id = component("c", valueName);
        line(4, "<Component Id=\"" + id + "\" Guid=\"" + componentGuid(l_.upgradeCode, "|" + valueName) + "\">");
        line(5, "<Shortcut Id=\"" + shortcutId + "\" Name=\"" + xml(l_.name) +
                    "\" Target=\"[#Launcher]\" WorkingDirectory=\"INSTALLDIR\" Icon=\"LauncherIcon.exe\" IconIndex=\"0\"/>");
        keyPathValue(5, valueName);
        line(4, "</Component>");
        line(3, "</Directory>");
    }

    void keyPathValue(int depth, const std::string& name) {
        line(depth, "<RegistryValue Root=\"" + root_ + "\" Key=\"" + xml(appKey_) + "\" Name=\"" + name +
                        "\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>");
    }

    std::string component(std::string_view kind, const std::string& place) {
        components_.push_back(rowId(kind, place));
        return components_.back();
    }

    const PackageLayout& l_;
    std::string root_, appKey_;
    std::set<std::string> folders_;  // sorted: a folder's parent comes first
    std::map<std::string, std::vector<const InstalledFile*>> filesIn_;
    std::vector<std::string> components_;
    std::string out_;
};

}  // namespace

std::string rowId(std::string_view kind, std::string_view target) {
    std::string id(kind);
    id += '_';
    for (char c : target.substr(0, 48)) id += std::isalnum(static_cast<unsigned char>(c)) || c == '.' ? c : '_';
    return id + "_" + hex(fnv1a(lower(target), 0xcbf29ce484222325ULL), 8);
}

std::string componentGuid(std::string_view upgradeCode, std::string_view place) {
    std::string key = lower(upgradeCode) + "|" + lower(place);
    uint64_t high = fnv1a(key, 0xcbf29ce484222325ULL), low = fnv1a(key, 0x84222325cbf29ce4ULL);
    high = (high & ~0xF000ULL) | 0x5000ULL;                             // version 5: derived from a name
    low = (low & 0x3FFFFFFFFFFFFFFFULL) | 0x8000000000000000ULL;        // the standard variant
    std::string h = hex(high, 16), l = hex(low, 16);
    return "{" + h.substr(0, 8) + "-" + h.substr(8, 4) + "-" + h.substr(12, 4) + "-" + l.substr(0, 4) + "-" +
           l.substr(4) + "}";
}

std::string wixSource(const PackageLayout& layout) { return Writer(layout).text(); }

}  // namespace kestro::tool::packaging
