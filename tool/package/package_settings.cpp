#include "tool/package/package_settings.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "format/native_file.h"
#include "tool/settings/setting_error.h"
#include "tool/text/suggestion.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool::packaging {

namespace fs = std::filesystem;

namespace {

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

std::string lower(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

// A number part of a version: decimal digits, at most `max`.
bool versionPart(std::string_view part, unsigned long max) {
    if (part.empty() || part.size() > 5 || !std::ranges::all_of(part, [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    return std::stoul(std::string(part)) <= max;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

fs::path existing(const std::string& text, const fs::path& base, bool directory, std::string_view what) {
    fs::path path = (base / format::pathFromUtf8(text)).lexically_normal();
    std::error_code ec;
    bool ok = directory ? fs::is_directory(path, ec) : fs::is_regular_file(path, ec);
    if (!ok)
        throw SettingError(std::string(what) + " '" + text + "' not found (looked for " +
                           format::pathText(fs::absolute(path, ec)) + ")");
    return fs::absolute(path, ec);
}

// A name the table does not know: reported as it stands, without the setting's name before it.
struct UnknownSetting : SettingError {
    using SettingError::SettingError;
};

// Calls `body` for each entry of a table, turning a SettingError into a problem.
template <class F>
void eachEntry(const toml::node& node, std::string_view name, std::vector<TableProblem>& problems, F&& body) {
    const toml::table* table = node.as_table();
    if (!table) {
        problems.push_back({node.source().begin.line,
                            std::string(name) + ": expected a table, got " + std::string(describeType(node))});
        return;
    }
    for (auto&& [key, value] : *table) {
        std::string full = std::string(name) + "." + std::string(key.str());
        try {
            body(key.str(), value, full);
        } catch (const UnknownSetting& e) {
            problems.push_back({value.source().begin.line, e.what()});
        } catch (const SettingError& e) {
            const toml::node* where = e.where() ? e.where() : &value;
            problems.push_back({where->source().begin.line, full + e.path() + ": " + e.what()});
        }
    }
}

[[noreturn]] void unknownName(std::string_view name, std::string_view full, const std::vector<std::string>& known) {
    auto closest = closestName(name, known);
    std::string table(full.substr(0, full.rfind('.') + 1));
    throw UnknownSetting("unknown setting '" + std::string(full) + "'" +
                         didYouMean(closest ? std::optional(table + *closest) : std::nullopt));
}

template <class F>
void eachTableOf(const toml::node& value, F&& body) {
    const toml::array& array = requireArray(value);
    for (size_t i = 0; i < array.size(); ++i) body(array[i], "[" + std::to_string(i) + "]");
}

PackageFile readFile(const toml::node& node, const fs::path& base, const std::string& full,
                     std::vector<TableProblem>& problems) {
    PackageFile file;
    bool source = false, target = false;
    eachEntry(node, full, problems, [&](std::string_view key, const toml::node& value, const std::string& name) {
        if (key == "source") file.source = existing(requireString(value), base, false, "file"), source = true;
        else if (key == "target") file.target = checkTarget(requireString(value)), target = true;
        else unknownName(key, name, {"source", "target"});
    });
    if (node.is_table() && (!source || !target))
        problems.push_back({node.source().begin.line, full + ": a file needs both source and target"});
    return file;
}

FileAssociation readAssociation(const toml::node& node, const fs::path& base, const std::string& full,
                                std::vector<TableProblem>& problems) {
    FileAssociation association;
    eachEntry(node, full, problems, [&](std::string_view key, const toml::node& value, const std::string& name) {
        if (key == "extension") association.extension = checkExtension(requireString(value));
        else if (key == "description") association.description = requireString(value);
        else if (key == "content_type") {
            const std::string& type = requireString(value);
            if (split(type, '/').size() != 2 || type.find(' ') != std::string::npos)
                throw SettingError("expected a content type such as \"application/x-hello\", got \"" + type + "\"");
            association.contentType = type;
        } else if (key == "icon") {
            const std::string& icon = requireString(value);
            if (!lower(icon).ends_with(".ico")) throw SettingError("expected an icon file (.ico), got \"" + icon + "\"");
            association.icon = existing(icon, base, false, "icon file");
        } else unknownName(key, name, {"extension", "description", "content_type", "icon"});
    });
    if (node.is_table() && association.extension.empty())
        problems.push_back({node.source().begin.line, full + ": a file association needs an extension"});
    if (association.description.empty()) association.description = association.extension + " file";
    return association;
}

}  // namespace

std::string checkUpgradeCode(std::string_view text) {
    std::string_view inner = text;
    if (inner.size() == 38 && inner.front() == '{' && inner.back() == '}') inner = inner.substr(1, 36);
    const auto parts = split(inner, '-');
    const size_t lengths[] = {8, 4, 4, 4, 12};
    bool ok = parts.size() == 5;
    for (size_t i = 0; ok && i < 5; ++i) ok = parts[i].size() == lengths[i] && std::ranges::all_of(parts[i], isHex);
    if (!ok)
        throw SettingError("expected a GUID such as \"6f1f3c2e-5a7b-4c1d-9e8f-0a1b2c3d4e5f\", got \"" +
                           std::string(text) + "\"; keep the same one for every version of the application");
    std::string code = "{" + std::string(inner) + "}";
    std::ranges::transform(code, code.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (code == "{00000000-0000-0000-0000-000000000000}") throw SettingError("the zero GUID is no upgrade code");
    return code;
}

std::string checkProductVersion(std::string_view text) {
    const auto parts = split(text, '.');
    if (parts.size() == 4)
        throw SettingError("\"" + std::string(text) + "\" has four parts, but Windows Installer compares only the first "
                           "three: a version that differs in the fourth would not replace the one installed");
    bool ok = parts.size() >= 2 && parts.size() <= 3 && versionPart(parts[0], 255) && versionPart(parts[1], 255) &&
              (parts.size() == 2 || versionPart(parts[2], 65535));
    if (!ok)
        throw SettingError("expected a version such as \"1.2.0\" (major and minor up to 255, build up to 65535), "
                           "got \"" + std::string(text) + "\"");
    return std::string(text);
}

std::string checkProductName(std::string_view text) {
    std::string name(text);
    if (name.empty() || name.find_first_not_of(' ') == std::string::npos) throw SettingError("is empty");
    if (name.find_first_of("\\/:*?\"<>|") != std::string::npos || name.back() == '.' || name.back() == ' ' ||
        std::ranges::any_of(name, [](unsigned char c) { return c < 32; }))
        throw SettingError("\"" + name + "\" names the installation's folder and shortcuts, so it cannot hold "
                           "\\ / : * ? \" < > | or end in a dot or a space");
    return name;
}

std::string checkExtension(std::string_view text) {
    if (text.starts_with('.'))
        throw SettingError("write the extension without its dot: \"" + std::string(text.substr(1)) + "\"");
    if (text.empty() || !std::ranges::all_of(text, [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '-'; }))
        throw SettingError("expected an extension of letters, digits, '_' or '-' such as \"hello\", got \"" +
                           std::string(text) + "\"");
    return std::string(text);
}

std::string checkTarget(std::string_view text) {
    std::string target(text);
    std::ranges::replace(target, '\\', '/');
    if (target.empty() || target.starts_with('/') || target.find(':') != std::string::npos || target.ends_with('/'))
        throw SettingError("expected a file's path below the launcher's directory such as \"lib/app.jar\", got \"" +
                           std::string(text) + "\"");
    for (std::string_view part : split(target, '/')) {
        if (part.empty() || part == "." || part == "..")
            throw SettingError("\"" + std::string(text) + "\" must stay below the launcher's directory, without "
                               "empty, '.' or '..' parts");
        if (part.find_first_of("*?\"<>|") != std::string_view::npos || part.back() == ' ' || part.back() == '.')
            throw SettingError("\"" + std::string(text) + "\" is no Windows file name");
    }
    return target;
}

std::string checkVariableName(std::string_view text) {
    if (text.empty() || text.find('=') != std::string_view::npos ||
        !std::ranges::all_of(text, [](unsigned char c) { return std::isalnum(c) || c == '_'; }))
        throw SettingError("expected the name of an environment variable that holds the password, such as "
                           "\"SIGNING_PASSWORD\" (never the password itself)");
    return std::string(text);
}

std::string productVersionFrom(std::string_view versionResourceText) {
    auto parts = split(versionResourceText, '.');
    if (parts.size() > 3) parts.resize(3);
    std::string out;
    for (auto part : parts) out += (out.empty() ? "" : ".") + std::string(part);
    return out;
}

PackageSettings readPackageSettings(const toml::node& table, const fs::path& base, std::vector<TableProblem>& problems) {
    PackageSettings settings;
    bool upgradeCode = false, manufacturer = false;
    eachEntry(table, kPackageTable, problems, [&](std::string_view key, const toml::node& value, const std::string& name) {
        if (key == "name") settings.name = checkProductName(requireString(value));
        else if (key == "manufacturer") {
            settings.manufacturer = requireString(value), manufacturer = true;
            if (settings.manufacturer.empty()) throw SettingError("is empty");
        } else if (key == "version") settings.version = checkProductVersion(requireString(value));
        else if (key == "upgrade_code") settings.upgradeCode = checkUpgradeCode(requireString(value)), upgradeCode = true;
        else if (key == "scope") {
            const std::string& scope = requireString(value);
            if (scope == "per-machine") settings.scope = InstallScope::PerMachine;
            else if (scope == "per-user") settings.scope = InstallScope::PerUser;
            else throw SettingError("expected \"per-machine\" or \"per-user\", got \"" + scope + "\"");
        } else if (key == "runtime") {
            fs::path dir = existing(requireString(value), base, true, "runtime directory");
            std::error_code ec;
            if (!fs::is_regular_file(dir / "bin" / "java.exe", ec) && !fs::is_regular_file(dir / "bin" / "javaw.exe", ec))
                throw SettingError("'" + requireString(value) + "' is no Windows Java runtime: it has no bin/java.exe");
            settings.runtime = dir;
        } else if (key == "start_menu_shortcut") settings.startMenuShortcut = requireBool(value);
        else if (key == "desktop_shortcut") settings.desktopShortcut = requireBool(value);
        else if (key == "files")
            eachTableOf(value, [&](const toml::node& n, const std::string& i) {
                settings.files.push_back(readFile(n, base, name + i, problems));
            });
        else if (key == "file_associations")
            eachTableOf(value, [&](const toml::node& n, const std::string& i) {
                settings.associations.push_back(readAssociation(n, base, name + i, problems));
            });
        else
            unknownName(key, name, {"name", "manufacturer", "version", "upgrade_code", "scope", "runtime",
                                    "start_menu_shortcut", "desktop_shortcut", "files", "file_associations"});
    });
    size_t line = table.source().begin.line;
    if (table.is_table() && !upgradeCode)
        problems.push_back({line, "package: needs an upgrade_code, a GUID that stays the same for every version "
                                  "(kestro init writes a fresh one)"});
    if (table.is_table() && !manufacturer) problems.push_back({line, "package: needs a manufacturer"});
    // Two files of one place, or a file where the runtime goes, would leave one of them out.
    std::set<std::string> targets;
    for (const PackageFile& file : settings.files) {
        std::string key = lower(file.target);
        if (!targets.insert(key).second) problems.push_back({line, "package.files: \"" + file.target + "\" is given twice"});
        if (settings.runtime && key.starts_with("jre/"))
            problems.push_back({line, "package.files: \"" + file.target + "\" lies in jre/, where package.runtime goes"});
    }
    std::set<std::string> extensions;
    for (const FileAssociation& association : settings.associations)
        if (!extensions.insert(lower(association.extension)).second)
            problems.push_back({line, "package.file_associations: \"" + association.extension + "\" is given twice"});
    return settings;
}

SigningSettings readSigningSettings(const toml::node& table, const fs::path& base, std::vector<TableProblem>& problems) {
    SigningSettings settings;
    bool certificate = false, variable = false;
    eachEntry(table, kSigningTable, problems, [&](std::string_view key, const toml::node& value, const std::string& name) {
        if (key == "certificate") settings.certificate = existing(requireString(value), base, false, "certificate"), certificate = true;
        else if (key == "password_variable") settings.passwordVariable = checkVariableName(requireString(value)), variable = true;
        else if (key == "timestamp_url") {
            const std::string& url = requireString(value);
            if (!url.starts_with("http://") && !url.starts_with("https://"))
                throw SettingError("expected an http:// or https:// address, got \"" + url + "\"");
            settings.timestampUrl = url;
        } else unknownName(key, name, {"certificate", "password_variable", "timestamp_url"});
    });
    size_t line = table.source().begin.line;
    if (table.is_table() && !certificate) problems.push_back({line, "signing: needs a certificate (a PKCS#12 file)"});
    if (table.is_table() && !variable)
        problems.push_back({line, "signing: needs password_variable, the name of the environment variable that "
                                  "holds the certificate's password"});
    return settings;
}

}  // namespace kestro::tool::packaging
