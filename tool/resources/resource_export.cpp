#include "tool/resources/resource_export.h"

#include <algorithm>

#include "tool/resources/icon_resources.h"
#include "tool/resources/manifest_resource.h"
#include "tool/resources/resource_settings.h"
#include "tool/resources/version_resource.h"
#include "tool/text/code_page.h"
#include "tool/toml/toml_writer.h"

namespace kestro::tool::resources {

namespace {

bool isOne(const Resource& r, uint16_t type, uint16_t id) {
    return r.type == type && r.id == id && r.language == kLanguage;
}

// The image's own kind, so that the extracted file opens in an image viewer.
std::string imageExtension(const std::vector<uint8_t>& data) {
    auto starts = [&](std::string_view magic) {
        return data.size() >= magic.size() && std::equal(magic.begin(), magic.end(), data.begin(),
                                                         [](char a, uint8_t b) { return uint8_t(a) == b; });
    };
    if (starts("\x89PNG")) return ".png";
    if (starts("GIF8")) return ".gif";
    if (starts("\xFF\xD8\xFF")) return ".jpg";
    if (starts("BM")) return ".bmp";
    return ".bin";
}

// The request that gives exactly `resource`, when there is one: every text is printed,
// since the defaults would take the new output's name.
std::optional<VersionRequest> versionSettings(const Resource& resource) {
    auto info = decodeVersionResource(resource.data);
    if (!info) return std::nullopt;
    const VersionStrings& s = info->strings;
    for (const std::string* text : {&s.companyName, &s.fileDescription, &s.internalName, &s.legalCopyright,
                                    &s.originalFilename, &s.productName})
        if (utf8ToUtf16(*text).size() > kMaxVersionText) return std::nullopt;  // the settings refuse it
    VersionRequest request{true,
                           s.fileVersion,
                           s.productVersion,
                           s.companyName,
                           s.fileDescription,
                           s.legalCopyright,
                           s.originalFilename,
                           s.productName,
                           s.internalName};
    try {
        if (resolveVersion(request, "x.exe") != *info || versionResource(*info) != resource.data) return std::nullopt;
    } catch (const ResourceError&) {
        return std::nullopt;  // a version text that is no version number
    }
    return request;
}

void line(std::string& out, std::string_view name, const std::string& value) {
    out += std::string(name) + " = " + tomlString(value) + "\n";
}

}  // namespace

ResourceExport exportResources(std::span<const Resource> all, bool defaults, bool splashKeysStored,
                               const std::function<std::string(const std::string&)>& sourceOf) {
    ResourceExport out;
    std::vector<Resource> rest(all.begin(), all.end());
    auto take = [&](const Resource& r) { std::erase(rest, r); };

    auto find = [&](uint16_t type, uint16_t id) {
        return std::ranges::find_if(all, [&](const Resource& r) { return isOne(r, type, id); });
    };
    if (auto splash = find(kTypeRcData, kSplashImageId); splash != all.end() && (splashKeysStored || !defaults)) {
        std::string name = "splash" + imageExtension(splash->data);
        out.files.push_back({name, splash->data});
        out.splashImage = sourceOf(name);
        take(*splash);
    }

    // The icon: one group whose images are every RT_ICON entry, numbered as the build numbers them.
    auto group = find(kTypeGroupIcon, kIconGroupId);
    if (group != all.end() && std::ranges::count(all, kTypeGroupIcon, &Resource::type) == 1) {
        auto ico = iconFile(*group, all);
        std::vector<Resource> given;
        for (const Resource& r : all)
            if (r.type == kTypeIcon || r.type == kTypeGroupIcon) given.push_back(r);
        std::vector<Resource> again;
        try {
            if (ico) again = iconResources(*ico);
        } catch (const ResourceError&) {
        }
        std::ranges::sort(given, byPlace);
        std::ranges::sort(again, byPlace);
        if (ico && again == given) {
            out.files.push_back({"icon.ico", *ico});
            out.tables += "\n[icon]\nfile = " + tomlString(sourceOf("icon.ico")) + "\n";
            for (const Resource& r : given) take(r);
        }
    }

    auto versionResourceIt = find(kTypeVersion, kVersionId);
    std::optional<VersionRequest> version;
    if (versionResourceIt != all.end()) version = versionSettings(*versionResourceIt);
    bool versionPrinted = false;
    std::string versionTable;
    if (version) {
        take(*versionResourceIt);
        versionPrinted = true;
        line(versionTable, "file_version", *version->fileVersion);
        line(versionTable, "product_version", *version->productVersion);
        line(versionTable, "company", *version->company);
        line(versionTable, "product_name", *version->productName);
        out.productName = *version->productName;
        line(versionTable, "description", *version->description);
        line(versionTable, "copyright", *version->copyright);
        line(versionTable, "original_filename", *version->originalFilename);
        line(versionTable, "internal_name", *version->internalName);
    }

    // The manifest: generated from settings that the version table gives, else the
    // user's file, checked as the build checks it.
    std::string manifestTable;
    bool manifestPrinted = false;
    if (auto manifest = find(kTypeManifest, kManifestId); manifest != all.end()) {
        std::string text(manifest->data.begin(), manifest->data.end());
        auto settings = decodeGeneratedManifest(text);
        if (settings && version) {
            VersionInfo info = resolveVersion(*version, "x.exe");
            if (assemblyName(info.strings.internalName) != settings->name || info.fileVersion != settings->version)
                settings.reset();
        } else if (settings && assemblyName(settings->name) == settings->name) {
            // No version information to name it: the version table carries only the name.
            versionTable += "generate = false\n";
            line(versionTable, "internal_name", settings->name);
            line(versionTable, "file_version", versionText(settings->version));
            versionPrinted = true;
        } else {
            settings.reset();
        }
        if (settings) {
            line(manifestTable, "execution_level", std::string(executionLevelName(settings->level)));
            manifestTable += std::string("dpi_aware = ") + (settings->dpiAware ? "true" : "false") + "\n";
            manifestTable += std::string("long_path_aware = ") + (settings->longPathAware ? "true" : "false") + "\n";
            manifestPrinted = true;
            take(*manifest);
        } else if (!manifestProblem(text)) {
            out.files.push_back({"app.manifest", manifest->data});
            line(manifestTable, "file", sourceOf("app.manifest"));
            manifestPrinted = true;
            take(*manifest);
        }
    }
    if (!versionPrinted && defaults) versionTable = "generate = false\n";
    if (!manifestPrinted && defaults) manifestTable = "generate = false\n";
    if (!versionTable.empty()) out.tables += "\n[version]\n" + versionTable;
    if (!manifestTable.empty()) out.tables += "\n[manifest]\n" + manifestTable;
    out.raw = std::move(rest);
    return out;
}

std::optional<std::string> describeResource(const Resource& r, std::span<const Resource> all) {
    if (r.type == kTypeGroupIcon) {
        auto ico = iconFile(r, all);
        if (!ico) return std::nullopt;
        try {
            return "icon: " + describeImages(readIconDirectory(*ico));
        } catch (const ResourceError&) {
            return std::nullopt;
        }
    }
    if (r.type == kTypeVersion) {
        auto info = decodeVersionResource(r.data);
        if (!info) return std::nullopt;
        std::string text = "version " + versionText(info->fileVersion);
        for (auto [name, value] : {std::pair{"ProductName", &info->strings.productName},
                                   std::pair{"CompanyName", &info->strings.companyName},
                                   std::pair{"FileDescription", &info->strings.fileDescription}})
            if (!value->empty()) text += std::string(", ") + name + " " + tomlString(*value);
        return text;
    }
    if (r.type == kTypeManifest) {
        auto level = requestedExecutionLevel(std::string(r.data.begin(), r.data.end()));
        return "manifest: " + level.value_or("no execution level");
    }
    if (r.type == kTypeRcData && r.id == kSplashImageId)
        return "splash image (" + imageExtension(r.data).substr(1) + ")";
    return std::nullopt;
}

}  // namespace kestro::tool::resources
