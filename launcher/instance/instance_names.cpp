#include "instance/instance_names.h"

#include "common/text.h"

namespace kestro {

namespace {

// 64-bit FNV-1a: small, and fixed for good, since every version of the launcher must
// shorten a name alike.
uint64_t pathHash(std::string_view path) {
    uint64_t hash = 0xCBF29CE484222325u;
    for (char c : path) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return hash;
}

}  // namespace

std::string instanceObjectName(std::string_view canonicalPath, bool global, std::string_view suffix) {
    std::string name = global ? "Global\\" : "Local\\";
    for (char c : canonicalPath) name += c == '\\' || c == ' ' ? '_' : c;
    if (name.size() + suffix.size() > kLongestObjectName) {
        constexpr size_t kMark = 17;  // "~" and the hash's 16 digits
        name.resize(kLongestObjectName - kMark - suffix.size());
        name += '~';
        uint64_t hash = pathHash(canonicalPath);
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
