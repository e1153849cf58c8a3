#include "tool/resources/resource_settings.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

#include "format/native_file.h"
#include "tool/resources/icon_resources.h"
#include "tool/settings/setting_error.h"
#include "tool/text/code_page.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool::resources {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 3> kGroups{"icon", "version", "manifest"};

using VersionText = std::optional<std::string> VersionRequest::*;
constexpr std::array<std::pair<std::string_view, VersionText>, 6> kVersionTexts{{
    {"company", &VersionRequest::company},
    {"product_name", &VersionRequest::productName},
    {"description", &VersionRequest::description},
    {"copyright", &VersionRequest::copyright},
    {"original_filename", &VersionRequest::originalFilename},
    {"internal_name", &VersionRequest::internalName},
}};

// The whole of a file named by a setting, relative to the configuration's directory.
std::vector<uint8_t> readInput(const std::string& text, const fs::path& base, std::string_view what) {
    fs::path path = base / fs::path(text);
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    std::string tried = " (looked for " + format::pathText(fs::absolute(path, ec).lexically_normal()) + ")";
    if (status.type() == fs::file_type::not_found)
        throw SettingError(std::string(what) + " '" + text + "' not found" + tried);
    if (status.type() != fs::file_type::regular)
        throw SettingError("'" + text + "' is not a regular file" + tried);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (!in && !in.eof()) throw SettingError("cannot read '" + text + "'" + tried);
    return bytes;
}

std::string versionString(const toml::node& value) {
    const std::string& text = requireString(value);
    if (text.find('\0') != std::string::npos) throw SettingError("contains a zero character, which ends the text");
    if (utf8ToUtf16(text).size() > kMaxVersionText)
        throw SettingError("is longer than " + std::to_string(kMaxVersionText) + " characters");
    return text;
}

std::string versionNumber(const toml::node& value) {
    std::string text = requireString(value);
    try {
        parseVersionNumbers(text);
    } catch (const ResourceError& e) {
        throw SettingError(e.what());
    }
    return text;
}

void readVersion(VersionRequest& version, std::string_view name, const toml::node& value) {
    if (name == "generate") version.generate = requireBool(value);
    else if (name == "file_version") version.fileVersion = versionNumber(value);
    else if (name == "product_version") version.productVersion = versionNumber(value);
    else
        for (auto [key, field] : kVersionTexts)
            if (key == name) version.*field = versionString(value);
}

void readManifest(ManifestRequest& manifest, std::string_view name, const toml::node& value, const fs::path& base) {
    if (name == "generate") manifest.generate = requireBool(value);
    else if (name == "dpi_aware") manifest.dpiAware = requireBool(value);
    else if (name == "long_path_aware") manifest.longPathAware = requireBool(value);
    else if (name == "execution_level") {
        const std::string& text = requireString(value);
        manifest.level = executionLevelByName(text);
        if (!manifest.level)
            throw SettingError("unknown execution level \"" + text +
                               "\"; expected \"asInvoker\", \"requireAdministrator\" or \"highestAvailable\"");
    } else if (name == "file") {
        const std::string& path = requireString(value);
        std::vector<uint8_t> bytes = readInput(path, base, "manifest file");
        std::string text(bytes.begin(), bytes.end());
        if (auto problem = manifestProblem(text)) throw SettingError("'" + path + "' is not a manifest: " + *problem);
        manifest.file = std::move(text);
    }
}

}  // namespace

std::span<const std::string_view> resourceGroups() { return kGroups; }

std::vector<std::string> resourceSettingNames(std::string_view group) {
    if (group == "splash") return {"image"};
    if (group == "icon") return {"file"};
    if (group == "manifest") return {"generate", "execution_level", "dpi_aware", "long_path_aware", "file"};
    if (group != "version") return {};
    std::vector<std::string> names{"generate", "file_version", "product_version"};
    for (auto [key, field] : kVersionTexts) names.emplace_back(key);
    return names;
}

void readResourceSetting(ResourceRequest& request, std::string_view group, std::string_view name,
                         const toml::node& value, const fs::path& base) {
    if (group == "splash" && name == "image") {
        const std::string& path = requireString(value);
        std::vector<uint8_t> bytes = readInput(path, base, "splash image");
        if (bytes.empty()) throw SettingError("the splash image '" + path + "' is empty");
        request.splashImage = std::move(bytes);
    } else if (group == "icon" && name == "file") {
        const std::string& path = requireString(value);
        std::vector<uint8_t> bytes = readInput(path, base, "icon file");
        try {
            request.icon = iconResources(bytes);
        } catch (const ResourceError& e) {
            throw SettingError("'" + path + "' is " + e.what() + "; " + kIconFormats);
        }
    } else if (group == "version") {
        readVersion(request.version, name, value);
    } else if (group == "manifest") {
        readManifest(request.manifest, name, value, base);
    }
}

VersionInfo resolveVersion(const VersionRequest& request, const fs::path& output) {
    std::string stem = format::pathText(output.stem()), fileName = format::pathText(output.filename());
    VersionInfo info;
    std::string fileVersion = request.fileVersion.value_or("1.0.0.0");
    std::string productVersion = request.productVersion.value_or(fileVersion);
    info.fileVersion = parseVersionNumbers(fileVersion);
    info.productVersion = parseVersionNumbers(productVersion);
    VersionStrings& s = info.strings;
    s.companyName = request.company.value_or("");
    s.productName = request.productName.value_or(stem);
    s.fileDescription = request.description.value_or(s.productName);
    s.fileVersion = fileVersion;
    s.internalName = request.internalName.value_or(stem);
    s.legalCopyright = request.copyright.value_or("");
    s.originalFilename = request.originalFilename.value_or(fileName);
    s.productVersion = productVersion;
    return info;
}

ManifestSettings resolveManifest(const ManifestRequest& request, const VersionInfo& version) {
    return {assemblyName(version.strings.internalName), version.fileVersion,
            request.level.value_or(ExecutionLevel::AsInvoker), request.dpiAware.value_or(true),
            request.longPathAware.value_or(true)};
}

std::vector<Resource> resolveResources(const ResourceRequest& request, const fs::path& output) {
    std::vector<Resource> out = request.icon;
    if (request.splashImage) out.push_back({kTypeRcData, kSplashImageId, kLanguage, *request.splashImage});
    VersionInfo version = resolveVersion(request.version, output);
    if (request.writesVersion()) out.push_back({kTypeVersion, kVersionId, kLanguage, versionResource(version)});
    if (request.writesManifest()) {
        std::string xml = request.manifest.file.value_or(generateManifest(resolveManifest(request.manifest, version)));
        out.push_back({kTypeManifest, kManifestId, kLanguage, {xml.begin(), xml.end()}});
    }
    std::ranges::sort(out, byPlace);
    return out;
}

}  // namespace kestro::tool::resources
