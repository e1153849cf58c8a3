// The configuration read from the launcher's own executable: process-wide tables,
// filled once at start-up and only read afterwards.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "common/text.h"
#include "format/config_keys.h"
#include "format/decimal_number.h"

namespace kestro {

using format::ConfigKey;

struct ConfigTables {
    std::map<ConfigKey, std::string> strings;  // values as stored; readers cut at the first zero byte
    std::map<ConfigKey, Utf16> wides;
    uint32_t includedDataPosition = 0;
};

ConfigTables& configTables();

// The byte-string value of `key` up to its first zero byte, cut to fit a buffer of
// `capacity` bytes with its terminator; the empty text when the key is absent.
std::string lookupString(ConfigKey key, size_t capacity = kTextCapacity);

// The value of `key` read by parseDecimalInt; an absent key gives 0.
int32_t lookupInt(ConfigKey key);

}  // namespace kestro
