#include "tool/settings/raw_values.h"

#include "tool/settings/setting_error.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace {

std::optional<std::string> fromHex(std::string_view hex) {
    if (hex.size() % 2) return std::nullopt;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes += char(hi * 16 + lo);
    }
    return bytes;
}

// The bytes of { hex = "..." }, or nothing for a plain string.
std::optional<std::string> hexValue(const toml::node& value) {
    if (value.is_string()) return std::nullopt;
    if (!value.is_table())
        throw SettingError("expected a string or { hex = \"...\" }, got " + std::string(describeType(value)), &value);
    const toml::table& table = *value.as_table();
    const toml::node* hex = table.get("hex");
    if (!hex || table.size() != 1) throw SettingError("expected a string or { hex = \"...\" }", &value);
    auto bytes = fromHex(requireString(*hex));
    if (!bytes) throw SettingError("hex takes pairs of hexadecimal digits", hex, ".hex");
    return bytes;
}

}  // namespace

std::string toHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (char b : bytes) {
        hex += kDigits[uint8_t(b) >> 4];
        hex += kDigits[uint8_t(b) & 15];
    }
    return hex;
}

std::string rawBytes(const toml::node& value, CodePage cp) {
    if (auto bytes = hexValue(value)) return *bytes;
    try {
        return toCodePage(value.as_string()->get(), cp);
    } catch (const SettingError& e) {
        throw SettingError(e.what(), &value);
    }
}

std::u16string rawWide(const toml::node& value) {
    if (auto bytes = hexValue(value)) {
        if (bytes->size() % 2) throw SettingError("a wide text takes whole UTF-16 units (an even number of bytes)", &value);
        std::u16string text;
        for (size_t i = 0; i < bytes->size(); i += 2)
            text += char16_t(uint8_t((*bytes)[i]) | uint8_t((*bytes)[i + 1]) << 8);
        return text;
    }
    return utf8ToUtf16(value.as_string()->get());
}

int32_t rawKey(std::string_view name) {
    auto key = parseCanonicalInt(name);
    if (!key) throw SettingError("a key is a decimal number such as \"101\", not \"" + std::string(name) + "\"");
    return *key;
}

}  // namespace kestro::tool
