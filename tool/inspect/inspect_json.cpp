#include "tool/inspect/entry_view.h"
#include "tool/config/raw_resources.h"
#include "tool/inspect/inspect_report.h"
#include "tool/resources/resource_export.h"
#include "tool/settings/raw_values.h"
#include "tool/settings/subsystem.h"

namespace kestro::tool {

using nlohmann::json;

namespace {

json toJson(const toml::node& node) {
    if (auto s = node.as_string()) return s->get();
    if (auto i = node.as_integer()) return i->get();
    if (auto b = node.as_boolean()) return b->get();
    json out = node.is_array() ? json::array() : json::object();
    if (auto a = node.as_array())
        for (const auto& item : *a) out.push_back(toJson(item));
    if (auto t = node.as_table())
        for (auto&& [key, item] : *t) out[std::string(key.str())] = toJson(item);
    return out;
}

// Text where it decodes, hex of the stored bytes where it does not.
void putText(json& out, const std::optional<std::string>& text, std::string_view bytes) {
    if (text) out["text"] = *text;
    else out["hex"] = toHex(bytes);
}

json wideEntries(const std::vector<format::WideEntry>& entries) {
    json list = json::array();
    for (const auto& e : entries) {
        json item{{"key", e.key}};
        std::string bytes;
        for (char16_t c : e.value) bytes += {char(c & 0xFF), char(c >> 8)};
        putText(item, utf16ToUtf8(e.value), bytes);
        list.push_back(std::move(item));
    }
    return list;
}

}  // namespace

json jsonReport(const LauncherContents& contents, CodePage cp, const std::string& file) {
    json out{{"file", file},
             {"file_size", contents.fileSize},
             {"block_offset", contents.blockOffset},
             {"code_page", codePageName(cp)},
             {"subsystem", contents.subsystem},
             {"entries", json::array()},
             {"wide", wideEntries(contents.head.wides)},
             {"locale_sets", json::array()},
             {"files", json::array()},
             {"resources", json::array()},
             {"instances", instanceBehaviour(contents.head)},
             {"warnings", contents.warnings}};
    if (auto name = subsystemName(contents.subsystem)) out["subsystem_name"] = *name;
    for (const auto& entry : contents.head.strings) {
        EntryView view = viewEntry(entry, cp);
        json item{{"key", entry.key}};
        if (!view.name.empty()) item["setting"] = view.name;
        putText(item, view.text, entry.value);
        if (const toml::node* value = view.value()) item["value"] = toJson(*value);
        out["entries"].push_back(std::move(item));
    }
    for (const auto& set : contents.head.localeSets) {
        json item{{"prefix", *fromCodePage(set.prefix, CodePage::Windows1252)}};
        if (auto prefix = fromCodePage(set.prefix, cp)) item["prefix"] = *prefix;
        item["wide"] = wideEntries(set.entries);
        out["locale_sets"].push_back(std::move(item));
    }
    for (const auto& f : contents.files) out["files"].push_back({{"name", f.name}, {"size", f.size}, {"offset", f.offset}});
    for (const auto& r : contents.resources) {
        json item{{"type", r.type}, {"id", r.id}, {"language", r.language}, {"size", r.data.size()}};
        if (std::string name = resourceTypeName(r.type); !name.empty()) item["type_name"] = name;
        if (auto what = resources::describeResource(r, contents.resources)) item["contents"] = *what;
        out["resources"].push_back(std::move(item));
    }
    return out;
}

}  // namespace kestro::tool
