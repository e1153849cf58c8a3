#include "format/decimal_number.h"

#include <limits>

namespace kestro {

int32_t parseDecimalInt(std::string_view text) {
    size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr int64_t limit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) magnitude = limit;  // saturate; further digits cannot bring it back
    }
    if (negative) return int32_t(-magnitude);
    return magnitude >= limit ? std::numeric_limits<int32_t>::max() : int32_t(magnitude);
}

}  // namespace kestro
