#include "tool/toml/toml_values.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "tool/settings/setting_error.h"

namespace kestro::tool {

namespace {

[[noreturn]] void mismatch(const toml::node& node, std::string_view expected) {
    throw SettingError("expected " + std::string(expected) + ", got " + std::string(describeType(node)), &node);
}

}  // namespace

std::string_view describeType(const toml::node& node) {
    switch (node.type()) {
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "an integer";
    case toml::node_type::floating_point: return "a floating-point number";
    case toml::node_type::boolean: return "a boolean";
    case toml::node_type::array: return "a list";
    case toml::node_type::table: return "a table";
    case toml::node_type::none: return "nothing";
    default: return "a date or time";
    }
}

const std::string& requireString(const toml::node& node) {
    if (auto s = node.as_string()) return s->get();
    mismatch(node, "a string");
}

bool requireBool(const toml::node& node) {
    if (auto b = node.as_boolean()) return b->get();
    mismatch(node, "true or false");
}

int32_t requireInt32(const toml::node& node) {
    auto i = node.as_integer();
    if (!i) mismatch(node, "an integer");
    int64_t v = i->get();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw SettingError("the integer " + std::to_string(v) + " does not fit in 32 bits", &node);
    return int32_t(v);
}

const toml::array& requireArray(const toml::node& node) {
    if (auto a = node.as_array()) return *a;
    mismatch(node, "a list");
}

std::vector<std::string> requireStringList(const toml::node& node) {
    const toml::array& list = requireArray(node);
    std::vector<std::string> items;
    for (size_t i = 0; i < list.size(); ++i) {
        if (!list[i].is_string())
            throw SettingError("expected a string, got " + std::string(describeType(list[i])), &list[i],
                               "[" + std::to_string(i) + "]");
        items.push_back(list[i].as_string()->get());
    }
    return items;
}

std::vector<std::string> splitKeepingEmpty(std::string_view text, char separator) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    for (size_t start = 0;;) {
        size_t end = text.find(separator, start);
        items.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return items;
        start = end + 1;
    }
}

std::string encodeListEntries(const toml::node& value,
                              const std::function<std::string(const toml::node&, const std::string&)>& encode) {
    const toml::array& list = requireArray(value);
    std::string text;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) text += ';';
        text += encode(list[i], "[" + std::to_string(i) + "]");
    }
    return text;
}

void checkListItem(const std::string& item, std::string_view what, const toml::node& where, const std::string& path) {
    // The launcher drops empty items and splits at every ";", so either would silently
    // change the list.
    if (item.empty()) throw SettingError(std::string(what) + " is empty", &where, path);
    if (item.find(';') != std::string::npos)
        throw SettingError(std::string(what) + " contains ';', which separates the list's entries: " + item, &where,
                           path);
}

std::optional<int32_t> parseCanonicalInt(std::string_view text) {
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    if (std::to_string(value) != text) return std::nullopt;  // "+1", "007", "-0"
    return value;
}

}  // namespace kestro::tool

namespace kestro::tool {

ChosenKind chooseKind(const toml::table& table, std::span<const std::string_view> kinds,
                      std::span<const std::string_view> extras, const std::string& path) {
    auto listed = [](std::span<const std::string_view> names) {
        std::string text;
        for (auto n : names) text += (text.empty() ? "" : ", ") + std::string(n);
        return text;
    };
    std::optional<ChosenKind> chosen;
    for (auto&& [key, value] : table) {
        auto k = std::ranges::find(kinds, key.str());
        if (k != kinds.end()) {
            if (chosen)
                throw SettingError("an entry takes exactly one of " + listed(kinds) + ", not two", &table, path);
            chosen = ChosenKind{size_t(k - kinds.begin()), &value};
        } else if (std::ranges::find(extras, key.str()) == extras.end()) {
            throw SettingError("unknown entry key '" + std::string(key.str()) + "' (expected one of " + listed(kinds) +
                                   (extras.empty() ? "" : "; or " + listed(extras)) + ")",
                               &value, path + "." + std::string(key.str()));
        }
    }
    if (!chosen) throw SettingError("an entry needs one of " + listed(kinds), &table, path);
    return *chosen;
}

}  // namespace kestro::tool
