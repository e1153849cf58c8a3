#include "config/config_tables.h"

namespace kestro {

ConfigTables& configTables() {
    static ConfigTables tables;
    return tables;
}

std::string lookupString(ConfigKey key, size_t capacity) {
    const std::string* stored = configTables().strings.find(key);
    if (!stored) return {};
    std::string_view value = *stored;
    value = value.substr(0, value.find('\0'));
    return truncated(std::string(value), capacity);
}

int32_t lookupInt(ConfigKey key) { return parseDecimalInt(lookupString(key)); }

}  // namespace kestro
