#include "tool/text/version_text.h"

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

}  // namespace kestro::tool
