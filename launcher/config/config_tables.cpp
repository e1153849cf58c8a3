#include "config/config_tables.h"

#include <limits>

namespace kestro {

ConfigTables& configTables() {
    static ConfigTables tables;
    return tables;
}

std::string lookupString(ConfigKey key, size_t capacity) {
    const auto& strings = configTables().strings;
    auto it = strings.find(key);
    if (it == strings.end()) return {};
    std::string_view value = it->second;
    value = value.substr(0, value.find('\0'));
    return truncated(std::string(value), capacity);
}

int32_t lookupInt(ConfigKey key) { return parseDecimalInt(lookupString(key)); }

int32_t parseDecimalInt(std::string_view text) {
    size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) magnitude = limit;  // saturate; further digits cannot bring it back
    }
    if (negative) return int32_t(-magnitude);
    return magnitude >= limit ? std::numeric_limits<int32_t>::max() : int32_t(magnitude);
}

}  // namespace kestro
