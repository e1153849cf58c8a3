// The configuration read from the launcher's own executable: process-wide tables,
// filled once at start-up and only read afterwards.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "common/text.h"
#include "format/config_keys.h"

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

// The value of `key` read as a decimal number: leading white space, an optional sign
// and digits; the first other character ends it. No digits give 0; values beyond the
// 32-bit range give the nearest 32-bit limit. An absent key gives 0.
int32_t lookupInt(ConfigKey key);

int32_t parseDecimalInt(std::string_view text);

}  // namespace kestro
