#include "common/text.h"

namespace kestro {

std::string decimal(int64_t value) {
    char digits[24];
    size_t n = 0;
    uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    std::string out = value < 0 ? "-" : "";
    while (n) out += digits[--n];
    return out;
}

std::vector<std::string> splitList(std::string_view list, char separator) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(separator, start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) items.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

uint64_t fnv1a64(std::string_view bytes) {
    uint64_t hash = 0xCBF29CE484222325u;
    for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return hash;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; };
    text.remove_prefix(text.size() - tail.size());
    for (size_t i = 0; i < tail.size(); ++i)
        if (lower(text[i]) != lower(tail[i])) return false;
    return true;
}

Utf16 widenAscii(std::string_view text) {
    Utf16 out;
    out.reserve(text.size());
    for (char c : text) out += char16_t(uint8_t(c));
    return out;
}

}  // namespace kestro
