// The settings of the executable's resources: [icon], [version] and [manifest], raw
// [[resources]] entries, and the caption that names the application after its output.
#include <algorithm>

#include <toml++/toml.h>

#include "format/config_keys.h"
#include "format/native_file.h"
#include "tool/config/config_loader.h"
#include "tool/config/loader.h"
#include "tool/config/raw_resources.h"
#include "tool/config/settings_table.h"
#include "tool/resources/resource_settings.h"
#include "tool/settings/setting_error.h"
#include "tool/text/code_page.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace loading {

// [icon], [version], [manifest]: settings of the executable's resources rather than
// of the block.
void Loader::loadResourceGroup(std::string_view group, const toml::node& node) {
    const toml::table* settings = table(node, std::string(group));
    if (!settings) return;
    if (group == "version") plan_.resourceRequest.versionGiven = true;
    if (group == "manifest") plan_.resourceRequest.manifestGiven = true;
    std::vector<std::string> known = resources::resourceSettingNames(group);
    for (auto&& [key, value] : *settings) {
        std::string name = std::string(group) + "." + std::string(key.str());
        if (std::ranges::find(known, key.str()) == known.end()) {
            unknown(name, value, groupSuggestion(group, key.str()));
            continue;
        }
        guarded(value, name, [&, &key = key, &value = value] {
            resources::readResourceSetting(plan_.resourceRequest, group, key.str(), value, file_.parent_path());
        });
    }
}

// A setting of a resource group, if the file gives it.
const toml::node* Loader::resourceSetting(std::string_view group, std::string_view name) const {
    const toml::table* settings = doc_.get(group) ? doc_.get(group)->as_table() : nullptr;
    return settings ? settings->get(name) : nullptr;
}

// Raw [[resources]] entries, refused where they would take the place of one that a
// readable setting (or the defaults) makes.
void Loader::loadResources() {
    resources::ResourceRequest& request = plan_.resourceRequest;
    request.defaults = defaults_;
    std::vector<ResourceOwner> readable;
    auto own = [&](uint16_t type, uint16_t id, std::string setting, const toml::node* where) {
        readable.push_back({type, id, resources::kLanguage, std::move(setting), where});
    };
    for (const auto& icon : request.icon) own(icon.type, icon.id, "icon.file", resourceSetting("icon", "file"));
    if (request.splashImage)
        own(resources::kTypeRcData, resources::kSplashImageId, "splash.image", resourceSetting("splash", "image"));
    if (request.writesVersion())
        own(resources::kTypeVersion, resources::kVersionId,
            request.versionGiven ? "[version]" : "the version information the build writes by default (set "
                                                 "version.generate = false to give your own)",
            doc_.get("version"));
    if (request.writesManifest())
        own(resources::kTypeManifest, resources::kManifestId,
            request.manifestGiven ? "[manifest]" : "the manifest the build writes by default (set "
                                                   "manifest.generate = false to give your own)",
            doc_.get("manifest"));
    std::vector<ResourceProblem> problems;
    plan_.resources = collectResources(doc_, file_, problems, readable);
    for (const auto& p : problems) problem(p.where, p.text);
}

}  // namespace loading

void nameCaption(BuildPlan& plan, const fs::path& output) {
    if (!plan.captionFromName) return;
    auto entry = std::ranges::find(plan.head.strings, msg::Caption, &format::StringEntry::key);
    if (entry == plan.head.strings.end()) return;
    for (const std::string& name : {resources::resolveVersion(plan.resourceRequest.version, output).strings.productName,
                                    format::pathText(output.stem())}) {
        try {
            std::string bytes = toCodePage(name, plan.codePage);
            if (bytes.empty() || bytes.size() >= kLauncherTextCapacity || bytes.find('\0') != std::string::npos)
                continue;
            entry->value = std::move(bytes);
            return;
        } catch (const SettingError&) {
        }
    }
}

}  // namespace kestro::tool
