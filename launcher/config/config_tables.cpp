#include "config/config_tables.h"

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

}  // namespace kestro
