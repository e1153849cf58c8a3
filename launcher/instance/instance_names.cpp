#include "instance/instance_names.h"

#include "common/text.h"

namespace kestro {

std::string instanceObjectName(std::string_view canonicalPath, bool global, std::string_view suffix) {
    std::string name = global ? "Global\\" : "Local\\";
    for (char c : canonicalPath) name += c == '\\' || c == ' ' ? '_' : c;
    if (name.size() + suffix.size() > kLongestObjectName) {
        constexpr size_t kMark = 17;  // "~" and the hash's 16 digits
        name.resize(kLongestObjectName - kMark - suffix.size());
        name += '~';
        uint64_t hash = fnv1a64(canonicalPath);
        for (int shift = 60; shift >= 0; shift -= 4) name += "0123456789abcdef"[(hash >> shift) & 0xF];
    }
    name += suffix;
    return name;
}

std::string numberedSemaphoreName(std::string_view canonicalPath, bool global, uint32_t number) {
    return instanceObjectName(canonicalPath, global, decimal(number));
}

std::string notificationSemaphoreName(std::string_view canonicalPath, bool global) {
    return instanceObjectName(canonicalPath, global, "_notification");
}

}  // namespace kestro
