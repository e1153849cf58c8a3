#include "tool/version_text.h"

#include <algorithm>

namespace kestro::tool {

namespace {

bool isSeparator(char c) { return c == '.' || c == '_' || c == '-' || c == '+'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlnum(char c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool isVersionText(std::string_view text) {
    if (text.empty() || !isDigit(text[0])) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (isAlnum(text[i])) continue;
        if (!isSeparator(text[i]) || i + 1 == text.size() || !isAlnum(text[i + 1])) return false;
    }
    size_t firstEnd = std::ranges::find_if(text, isSeparator) - text.begin();
    return std::all_of(text.begin(), text.begin() + std::ptrdiff_t(firstEnd), isDigit);
}

int compareVersionToBound(std::string_view version, std::string_view bound) {
    auto next = [](std::string_view& text) {
        size_t end = std::ranges::find_if(text, isSeparator) - text.begin();
        std::string_view segment = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        return segment;
    };
    auto numeric = [](std::string_view s) { return !s.empty() && std::ranges::all_of(s, isDigit); };
    while (!bound.empty()) {
        if (version.empty()) return -1;
        std::string_view a = next(version), b = next(bound);
        if (numeric(a) && numeric(b)) {
            // As numbers of any length: without leading zeros, the longer is the larger.
            a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
            b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
            if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
        }
        if (int c = a.compare(b)) return c < 0 ? -1 : 1;
    }
    return 0;
}

}  // namespace kestro::tool
