#include "tool/config/raw_resources.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "format/native_file.h"
#include "tool/settings/setting_error.h"
#include "tool/text/suggestion.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

uint16_t number(const toml::node& value, int64_t lowest, const std::string& what) {
    if (!value.is_integer())
        throw SettingError("expected " + what + ", got " + std::string(describeType(value)), &value);
    int64_t n = value.as_integer()->get();
    if (n < lowest || n > 0xFFFF)
        throw SettingError("expected " + what + " from " + std::to_string(lowest) + " to 65535, got " +
                               std::to_string(n),
                           &value);
    return uint16_t(n);
}

// The whole content of a resource's file, named as the configuration names it; the
// message says where a relative path was looked for.
std::vector<uint8_t> readResourceFile(const std::string& text, const fs::path& path, const toml::node& where) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    std::string tried = " (looked for " + format::pathText(fs::absolute(path, ec).lexically_normal()) + ")";
    if (status.type() == fs::file_type::not_found) throw SettingError("file '" + text + "' not found" + tried, &where);
    if (status.type() != fs::file_type::regular)
        throw SettingError("'" + text + "' is not a regular file" + tried, &where);
    uint64_t size = fs::file_size(path, ec);
    // The resource section lives inside the 2 GB that a launcher's file positions reach.
    if (!ec && size >= 0x7FFFFFFFu)
        throw SettingError("'" + text + "' is " + std::to_string(size) + " bytes, too large for a launcher", &where);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (ec || bytes.size() != size)
        throw SettingError("cannot read '" + text + "'" + tried, &where);
    return bytes;
}

// [[resources]]: any resource as type, id, language and a file with its bytes, for
// what no readable setting makes (and what inspect --toml cannot decode).
void loadRawResources(const toml::node& node, const fs::path& configFile, ResourceCollector& collector) {
    const toml::array* list = node.as_array();
    if (!list) {
        collector.problem(&node, "resources: expected [[resources]] tables, got " + std::string(describeType(node)));
        return;
    }
    static const std::vector<std::string> keys{"type", "id", "language", "file"};
    for (size_t i = 0; i < list->size(); ++i) {
        std::string name = "resources[" + std::to_string(i) + "]";
        const toml::table* table = (*list)[i].as_table();
        if (!table) {
            collector.problem(&(*list)[i], name + ": expected a table, got " + std::string(describeType((*list)[i])));
            continue;
        }
        bool complete = true;
        for (auto&& [key, value] : *table)
            if (std::ranges::find(keys, key.str()) == keys.end()) {
                auto closest = closestName(key.str(), keys);
                auto suggestion = closest ? std::optional(name + "." + *closest) : std::nullopt;
                std::string full = name + "." + std::string(key.str());
                collector.problem(&value, "unknown setting '" + full + "'" + didYouMean(suggestion));
                complete = false;
            }
        format::Resource resource;
        auto field = [&](const char* key, auto read) {
            const toml::node* value = table->get(key);
            try {
                read(value);
            } catch (const SettingError& e) {
                collector.problem(e.where() ? e.where() : table, name + "." + key + ": " + e.what());
                complete = false;
            }
        };
        auto required = [&](const toml::node* value, const char* what) {
            if (!value) throw SettingError(std::string("a resource needs ") + what);
            return value;
        };
        field("type", [&](const toml::node* v) {
            resource.type = number(*required(v, "a type, for example 10 (RT_RCDATA)"), 1, "a type number");
        });
        field("id", [&](const toml::node* v) { resource.id = number(*required(v, "an id"), 1, "an id"); });
        field("language", [&](const toml::node* v) {
            if (v) resource.language = number(*v, 0, "a language id");
        });
        field("file", [&](const toml::node* v) {
            const std::string& text = requireString(*required(v, "a file with its bytes"));
            resource.data = readResourceFile(text, configFile.parent_path() / format::pathFromUtf8(text), *v);
        });
        if (complete) collector.add(std::move(resource), name, *table);
    }
}

}  // namespace

void ResourceCollector::add(format::Resource resource, const std::string& setting, const toml::node& where) {
    size_t line = where.source().begin.line;
    auto [it, fresh] = owners_.try_emplace({resource.type, resource.id, resource.language}, setting, line);
    if (!fresh) {
        problem(&where, setting + ": resource " + std::to_string(resource.type) + "/" + std::to_string(resource.id) +
                            "/" + std::to_string(resource.language) + " (type/id/language) is also made by " +
                            (it->second.second ? "'" + it->second.first + "' (line " +
                                                     std::to_string(it->second.second) + ")"
                                               : it->second.first));
        return;
    }
    resources_.push_back(std::move(resource));
}

void ResourceCollector::reserve(const ResourceOwner& owner) {
    owners_.try_emplace({owner.type, owner.id, owner.language}, owner.setting,
                        owner.where ? owner.where->source().begin.line : 0);
}

std::vector<format::Resource> collectResources(const toml::table& doc, const fs::path& configFile,
                                               std::vector<ResourceProblem>& problems,
                                               const std::vector<ResourceOwner>& readable) {
    ResourceCollector collector(problems);
    for (const ResourceOwner& owner : readable) collector.reserve(owner);
    // Readable settings that make resources (icon, version information, manifest, splash
    // image) are read here, before the raw entries, so that a clash names the readable
    // setting first.
    if (const toml::node* raw = doc.get("resources")) loadRawResources(*raw, configFile, collector);
    return collector.take();
}

std::string resourceTypeName(uint16_t type) {
    switch (type) {
    case 1: return "RT_CURSOR";
    case 2: return "RT_BITMAP";
    case format::kRtIcon: return "RT_ICON";
    case 4: return "RT_MENU";
    case 5: return "RT_DIALOG";
    case 6: return "RT_STRING";
    case 7: return "RT_FONTDIR";
    case 8: return "RT_FONT";
    case 9: return "RT_ACCELERATOR";
    case format::kRtRcdata: return "RT_RCDATA";
    case 11: return "RT_MESSAGETABLE";
    case 12: return "RT_GROUP_CURSOR";
    case format::kRtGroupIcon: return "RT_GROUP_ICON";
    case format::kRtVersion: return "RT_VERSION";
    case 17: return "RT_DLGINCLUDE";
    case 19: return "RT_PLUGPLAY";
    case 20: return "RT_VXD";
    case 21: return "RT_ANICURSOR";
    case 22: return "RT_ANIICON";
    case 23: return "RT_HTML";
    case format::kRtManifest: return "RT_MANIFEST";
    default: return {};
    }
}

}  // namespace kestro::tool
