#include "format/version_order.h"

#include <algorithm>
#include <cstddef>

namespace kestro {

namespace {

bool isSeparator(char c) { return c == '.' || c == '_' || c == '-' || c == '+'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isVersionCharacter(char c) {
    return isDigit(c) || isSeparator(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Walks the segments of a comparable version text, left to right.
class Segments {
public:
    explicit Segments(std::string_view text) : rest_(comparableVersion(text)), more_(!rest_.empty()) {}

    // The next segment; false when there is none.
    bool next(std::string_view& segment) {
        if (!more_) return false;
        size_t end = 0;
        while (end < rest_.size() && !isSeparator(rest_[end])) ++end;
        segment = rest_.substr(0, end);
        more_ = end < rest_.size();  // a separator at the very end still opens an empty segment
        rest_.remove_prefix(std::min(end + 1, rest_.size()));
        return true;
    }

private:
    std::string_view rest_;
    bool more_;
};

int sign(int v) { return (v > 0) - (v < 0); }

bool allDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), isDigit); }

// Numbers of any length compare without overflow: leading zeros dropped, then the
// longer number is the greater, then the digits decide.
int compareNumbers(std::string_view a, std::string_view b) {
    auto significant = [](std::string_view s) {
        size_t zeros = 0;
        while (zeros + 1 < s.size() && s[zeros] == '0') ++zeros;
        return s.substr(zeros);
    };
    a = significant(a);
    b = significant(b);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return sign(a.compare(b));
}

int compareSegments(std::string_view a, std::string_view b) {
    if (allDigits(a) && allDigits(b)) return compareNumbers(a, b);
    return sign(a.compare(b));  // string_view compares as unsigned bytes
}

// Compares segment by segment, at most `limit` segments. A text that runs out of
// segments first is the smaller one.
int compareSegmentwise(std::string_view a, std::string_view b, size_t limit) {
    Segments left(a), right(b);
    for (size_t n = 0; n < limit; ++n) {
        std::string_view x, y;
        bool hasX = left.next(x), hasY = right.next(y);
        if (!hasX || !hasY) return int(hasX) - int(hasY);
        if (int c = compareSegments(x, y)) return c;
    }
    return 0;
}

size_t segmentCount(std::string_view text) {
    Segments segments(text);
    size_t n = 0;
    for (std::string_view s; segments.next(s);) ++n;
    return n;
}

}  // namespace

std::string_view comparableVersion(std::string_view text) {
    size_t end = 0;
    while (end < text.size() && isVersionCharacter(text[end])) ++end;
    return text.substr(0, end);
}

int compareVersions(std::string_view a, std::string_view b) {
    if (int c = compareSegmentwise(a, b, size_t(-1))) return c;
    return sign(a.compare(b));
}

int compareWithBound(std::string_view version, std::string_view bound) {
    return compareSegmentwise(version, bound, segmentCount(bound));
}

int compareCommonSegments(std::string_view a, std::string_view b) {
    return compareSegmentwise(a, b, std::min(segmentCount(a), segmentCount(b)));
}

bool passesLowerBound(std::string_view version, std::string_view lowerBound) {
    return lowerBound.empty() || compareWithBound(version, lowerBound) >= 0;
}

bool passesUpperBound(std::string_view version, std::string_view upperBound) {
    return upperBound.empty() || compareWithBound(version, upperBound) <= 0;
}

bool isPrereleaseVersion(std::string_view version) {
    for (std::string_view marker : {"beta", "ea", "rc"})
        if (version.find(marker) != std::string_view::npos) return true;
    return false;
}

std::optional<std::string> versionRejection(std::string_view version, std::string_view lowerBound,
                                            std::string_view upperBound, bool prereleaseAllowed) {
    std::string v(version);
    if (!prereleaseAllowed && isPrereleaseVersion(version)) return "version " + v + " is a pre-release";
    if (passesLowerBound(version, lowerBound) && passesUpperBound(version, upperBound)) return std::nullopt;
    // Short enough for the report of the runtimes passed over, which shows these too.
    std::string lower(lowerBound), upper(upperBound);
    std::string needs = upper.empty()   ? lower + " or later"
                        : lower.empty() ? upper + " or earlier"
                                        : lower + " to " + upper;
    return "version " + v + ", needs " + needs;
}

}  // namespace kestro
