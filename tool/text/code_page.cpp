#include "tool/text/code_page.h"

#include <array>
#include <cstdio>

#include "tool/settings/setting_error.h"

namespace kestro::tool {

namespace {

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves undefined map to
// the C1 control of the same value, as Windows itself converts them, so that every
// byte string decodes and encodes back unchanged.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t windows1252ToUnicode(uint8_t b) { return b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b; }

std::optional<uint8_t> unicodeToWindows1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return uint8_t(c);
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c) return uint8_t(0x80 + i);
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Decodes one code point at `i` and advances; nothing for a malformed sequence
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::optional<char32_t> nextCodePoint(std::string_view s, size_t& i) {
    auto b = uint8_t(s[i]);
    size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || s.size() - i < length) return std::nullopt;
    char32_t c = length == 1 ? b : b & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        auto cont = uint8_t(s[i + k]);
        if ((cont & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (cont & 0x3F);
    }
    constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    i += length;
    return c;
}

std::string describeCharacter(char32_t c) {
    std::string shown;
    appendUtf8(shown, c);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
    return "'" + shown + "' (" + code + ")";
}

}  // namespace

std::string_view codePageName(CodePage cp) { return cp == CodePage::Utf8 ? "utf-8" : "windows-1252"; }

std::optional<CodePage> codePageByName(std::string_view name) {
    if (name == "windows-1252" || name == "1252") return CodePage::Windows1252;
    if (name == "utf-8" || name == "65001") return CodePage::Utf8;
    return std::nullopt;
}

bool isValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();)
        if (!nextCodePoint(text, i)) return false;
    return true;
}

size_t countCharacters(std::string_view utf8) {
    size_t n = 0;
    for (char c : utf8) n += (uint8_t(c) & 0xC0) != 0x80;
    return n;
}

std::string toCodePage(std::string_view utf8, CodePage cp) {
    if (cp == CodePage::Utf8) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        auto c = nextCodePoint(utf8, i);
        if (!c) throw SettingError("the text is not valid UTF-8");
        auto b = unicodeToWindows1252(*c);
        if (!b) throw SettingError("the character " + describeCharacter(*c) + " has no Windows-1252 byte "
                                   "(choose build.code_page = \"utf-8\" to store UTF-8)");
        out += char(*b);
    }
    return out;
}

std::optional<std::string> fromCodePage(std::string_view bytes, CodePage cp) {
    if (cp == CodePage::Utf8) {
        if (!isValidUtf8(bytes)) return std::nullopt;
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) appendUtf8(out, windows1252ToUnicode(uint8_t(b)));
    return out;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        auto decoded = nextCodePoint(utf8, i);
        if (!decoded) ++i;  // cannot happen for text from the TOML parser; never loop on it
        char32_t c = decoded.value_or(U'\uFFFD');
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::optional<std::string> utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xDC00 && c <= 0xDFFF) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == utf16.size() || utf16[i + 1] < 0xDC00 || utf16[i + 1] > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        }
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace kestro::tool
