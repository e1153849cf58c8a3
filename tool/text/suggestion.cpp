#include "tool/text/suggestion.h"

#include <algorithm>
#include <vector>

namespace kestro::tool {

namespace {

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

// Edit distance in which a swap of neighbours is one edit ("mian" -> "main").
size_t distance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

}  // namespace

std::optional<std::string> closestName(std::string_view given, std::span<const std::string> candidates) {
    // Names typed into a configuration are short; a long text is no name worth comparing.
    if (given.empty() || given.size() > 100) return std::nullopt;
    std::string wanted = folded(given);
    size_t limit = std::max<size_t>(1, wanted.size() / 3);
    std::optional<std::string> best;
    size_t bestDistance = limit + 1;
    for (const std::string& candidate : candidates) {
        size_t d = distance(wanted, folded(candidate));
        if (d < bestDistance) {
            best = candidate;
            bestDistance = d;
        }
    }
    if (best || wanted.size() < 3) return best;
    std::optional<std::string> extended;
    for (const std::string& candidate : candidates) {
        if (!folded(candidate).starts_with(wanted)) continue;
        if (extended) return std::nullopt;  // ambiguous
        extended = candidate;
    }
    return extended;
}

std::string didYouMean(const std::optional<std::string>& suggestion) {
    return suggestion ? " (did you mean '" + *suggestion + "'?)" : "";
}

}  // namespace kestro::tool
