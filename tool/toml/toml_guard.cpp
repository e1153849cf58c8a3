#include "tool/toml/toml_guard.h"

#include <algorithm>

namespace kestro::tool {

namespace {

constexpr std::string_view kOutsideQuotes =
    "a character outside the ASCII range that is not in quotes or a comment; TOML allows such characters only in "
    "quoted keys, strings and comments";
constexpr std::string_view kAfterBackslash =
    "a backslash followed by a character outside the ASCII range is no escape sequence (\\u00FC writes \"\u00fc\")";
constexpr std::string_view kContinuedLine =
    "the text that a line-ending backslash continues starts with a character outside the ASCII range, which the "
    "TOML reader this tool is built with cannot read safely; write that character as an escape (\\u00FC for "
    "\"\u00fc\")";
constexpr std::string_view kNamelessHeader = "a table header needs a name after its '[', such as [java] or [[files]]";
constexpr std::string_view kBraceInArray = "a '}' where the array expects a value or its closing ']'";
constexpr std::string_view kDateThenNoTime =
    "a date followed by a 'T' without a time; a time after a date needs hours, minutes and seconds, such as "
    "1979-05-27T07:32:00";
constexpr std::string_view kDateThenDigit =
    "a date followed by a space and a lone digit; a time after a date needs hours, minutes and seconds, such as "
    "1979-05-27 07:32:00";

bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool isBareKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}
// Where the parser's look-ahead over a bare value (a number, date, boolean) stops.
bool endsBareValue(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == ']' || c == '}' || c == ',' || c == '#';
}

// Walks the text as the parser's tokenizer would, far enough to know what is quoted,
// what is a comment, where a table header begins, and how far the parser looks ahead
// over a bare value, quotes included.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::optional<TomlHazard> run() {
        if (text_.starts_with("\xEF\xBB\xBF")) at_ = 3;  // a byte order mark, which the parser skips
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == '\n') {
                ++line_;
                ++at_;
                if (open_.empty()) {
                    expect_ = Expect::Key;
                    lineStart_ = true;
                }
            } else if (isBlank(c)) {
                ++at_;
            } else if (!isAscii(c)) {
                return hazard(kOutsideQuotes);
            } else if (c == '#') {
                at_ = std::min(text_.find('\n', at_), text_.size());
            } else if (c == '[' && lineStart_ && open_.empty() && expect_ == Expect::Key) {
                if (!headerHasName()) return hazard(kNamelessHeader);
                lineStart_ = false;
            } else {
                lineStart_ = false;
                if (auto found = token(c)) return found;
            }
        }
        return std::nullopt;
    }

private:
    // What the parser looks for next: a key (at the start of a line, in a header and in
    // an inline table), a value (after "=" and in an array), or what may follow a value.
    enum class Expect { Key, Value, AfterValue };

    std::optional<TomlHazard> token(char c) {
        if (c == '"' || c == '\'') {
            if (expect_ == Expect::Value) expect_ = Expect::AfterValue;
            return skipString(c);
        }
        ++at_;
        if (c == '=' && expect_ == Expect::Key) {
            expect_ = Expect::Value;
        } else if ((c == '[' || c == '{') && expect_ == Expect::Value) {
            open_.push_back(c);
            expect_ = c == '[' ? Expect::Value : Expect::Key;
        } else if (c == '}' && expect_ == Expect::Value && !open_.empty() && open_.back() == '[') {
            return hazard(kBraceInArray);
        } else if (c == ']' || c == '}') {
            if (!open_.empty() && open_.back() == (c == ']' ? '[' : '{')) open_.pop_back();
            expect_ = Expect::AfterValue;
        } else if (c == ',') {
            if (!open_.empty()) expect_ = open_.back() == '[' ? Expect::Value : Expect::Key;
        } else if (expect_ != Expect::Key) {
            // A bare value: the parser reads ahead to its end before it knows its type.
            size_t start = at_ - 1;
            for (; at_ < text_.size() && !endsBareValue(text_[at_]); ++at_)
                if (!isAscii(text_[at_])) return hazard(kOutsideQuotes);
            if (auto found = dateHazard(text_.substr(start, at_ - start))) return found;
            expect_ = Expect::AfterValue;
        }
        return std::nullopt;
    }

    // After what may be a date (ten characters other than "_", a digit first and "-" at
    // the fifth and eighth; the parser looks no closer) and a space, "T" or "t", the
    // parser takes a time to follow and asserts that it begins with a digit: a letter
    // after the "T", or a single digit after the space with a value's end behind it,
    // fails that assertion. Never valid TOML, so refusing any such text is safe.
    std::optional<TomlHazard> dateHazard(std::string_view value) const {
        std::string date;
        for (char c : value)
            if (c != '_') date += c;
        if (date.size() < 10 || date[4] != '-' || date[7] != '-' || date[0] < '0' || date[0] > '9') return std::nullopt;
        if (date.size() > 10 && (date[10] == 'T' || date[10] == 't'))
            return date.size() == 11 || date[11] < '0' || date[11] > '9' ? hazard(kDateThenNoTime) : std::nullopt;
        if (date.size() == 10 && peek() == ' ' && peek(1) >= '0' && peek(1) <= '9' && at_ + 2 < text_.size() &&
            endsBareValue(peek(2)))
            return hazard(kDateThenDigit);
        return std::nullopt;
    }

    char peek(size_t offset = 0) const { return at_ + offset < text_.size() ? text_[at_ + offset] : '\0'; }
    void skipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
    }
    size_t quoteRun(char quote) const {
        size_t n = 0;
        while (at_ + n < text_.size() && text_[at_ + n] == quote) ++n;
        return n;
    }
    std::optional<TomlHazard> hazard(std::string_view message) const { return TomlHazard{line_, std::string(message)}; }

    // At the "[" of a header: moves to what follows "[" or "[[" and the blanks after
    // them, and says whether that can begin a name. The end of the text, a "]" and
    // characters outside ASCII are left to the parser and to the scan that goes on.
    bool headerHasName() {
        ++at_;
        skipBlanks();
        if (peek() == '[') {
            ++at_;
            skipBlanks();
        }
        if (at_ == text_.size()) return true;
        char c = text_[at_];
        return !isAscii(c) || c == ']' || c == '"' || c == '\'' || isBareKeyCharacter(c);
    }

    std::optional<TomlHazard> skipString(char quote) {
        size_t run = quoteRun(quote);
        if (run >= 3) {
            at_ += 3;
            return skipMultiLine(quote == '"');
        }
        if (run == 2) {
            at_ += 2;  // an empty string
            return std::nullopt;
        }
        ++at_;
        while (at_ < text_.size() && text_[at_] != '\n') {
            char c = text_[at_++];
            if (c == quote) break;
            // An escape takes the next character, unless that ends the line.
            if (c == '\\' && quote == '"' && peek() != '\n') ++at_;
        }
        return std::nullopt;
    }

    std::optional<TomlHazard> skipMultiLine(bool basic) {
        char quote = basic ? '"' : '\'';
        bool continued = false;  // after a line-ending backslash, until the text goes on
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == quote) {
                size_t run = quoteRun(quote);
                // Up to two quotes before the closing three belong to the string.
                at_ += run >= 3 ? std::min<size_t>(run, 5) : run;
                if (run >= 3) return std::nullopt;
                continued = false;
            } else if (c == '\n') {
                ++line_;
                ++at_;
            } else if (basic && c == '\\') {
                char next = peek(1);
                if (at_ + 1 < text_.size() && !isAscii(next)) return hazard(kAfterBackslash);
                continued = next == ' ' || next == '\t' || next == '\r' || next == '\n';
                at_ += continued ? 1 : 2;
            } else if (continued && isBlank(c)) {
                ++at_;
            } else {
                if (continued && !isAscii(c)) return hazard(kContinuedLine);
                continued = false;
                ++at_;
            }
        }
        return std::nullopt;
    }

    std::string_view text_;
    size_t at_ = 0;
    size_t line_ = 1;
    Expect expect_ = Expect::Key;
    bool lineStart_ = true;
    std::string open_;  // the arrays ("[") and inline tables ("{") the scan is inside
};

}  // namespace

std::optional<TomlHazard> findParserHazard(std::string_view text) { return Scanner(text).run(); }

}  // namespace kestro::tool
