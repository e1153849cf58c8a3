// The configuration read from the launcher's own executable: process-wide tables,
// filled once at start-up and only read afterwards.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "format/config_keys.h"
#include "format/decimal_number.h"

namespace kestro {

using format::ConfigKey;

// Values by key, each key once, kept sorted by key: filled once from the block (a
// later entry of a key replaces the earlier one) and then only looked up. A sorted
// array rather than a tree keeps the executable small.
template <class Text>
class KeyedTexts {
public:
    // The value of `key`, inserted empty when absent.
    Text& operator[](ConfigKey key) {
        auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                                   [](const Entry& e, ConfigKey k) { return e.first < k; });
        if (it != entries_.end() && it->first == key) return it->second;
        // Appended, then moved into place: smaller code than an insertion in the middle.
        size_t at = size_t(it - entries_.begin());
        entries_.emplace_back(key, Text());
        for (size_t i = entries_.size() - 1; i > at; --i) std::swap(entries_[i], entries_[i - 1]);
        return entries_[at].second;
    }
    // The value of `key`; null when absent.
    const Text* find(ConfigKey key) const {
        auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                                   [](const Entry& e, ConfigKey k) { return e.first < k; });
        return it != entries_.end() && it->first == key ? &it->second : nullptr;
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
