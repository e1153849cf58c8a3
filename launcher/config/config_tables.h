// The configuration read from the launcher's own executable: process-wide tables,
// filled once at start-up and only read afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "format/config_keys.h"
#include "format/decimal_number.h"

namespace kestro {

using format::ConfigKey;

// Values by key, each key once: filled once from the block (a later entry of a key
// replaces the earlier one) and then only looked up. A plain array searched from the
// start rather than a tree or a sorted array keeps the executable small; a block holds
// at most a few hundred entries.
template <class Text>
class KeyedTexts {
public:
    // The value of `key`, appended empty when absent.
    Text& operator[](ConfigKey key) {
        for (Entry& e : entries_)
            if (e.first == key) return e.second;
        return entries_.emplace_back(key, Text()).second;
    }
    // The value of `key`; null when absent.
    const Text* find(ConfigKey key) const {
        for (const Entry& e : entries_)
            if (e.first == key) return &e.second;
        return nullptr;
    }
    size_t size() const { return entries_.size(); }
    void clear() { entries_.clear(); }

private:
    using Entry = std::pair<ConfigKey, Text>;
    std::vector<Entry> entries_;
};

struct ConfigTables {
    KeyedTexts<std::string> strings;  // values as stored; readers cut at the first zero byte
    KeyedTexts<Utf16> wides;
    uint32_t includedDataPosition = 0;
};

ConfigTables& configTables();

// The byte-string value of `key` up to its first zero byte, cut to fit a buffer of
// `capacity` bytes with its terminator; the empty text when the key is absent.
std::string lookupString(ConfigKey key, size_t capacity = kTextCapacity);

// The value of `key` read by parseDecimalInt; an absent key gives 0.
int32_t lookupInt(ConfigKey key);

}  // namespace kestro
