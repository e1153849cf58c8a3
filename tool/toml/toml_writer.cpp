#include "tool/toml/toml_writer.h"

#include <cstdio>

namespace kestro::tool {

std::string tomlString(std::string_view utf8) {
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size(); ++i) {
        auto c = uint8_t(utf8[i]);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", unsigned(c));
                out += escape;
            } else if (c == 0xC2 && i + 1 < utf8.size() && uint8_t(utf8[i + 1]) < 0xA0) {
                // C1 controls (U+0080..U+009F) are legal but invisible; show their code.
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", unsigned(uint8_t(utf8[++i])));
                out += escape;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string tomlKey(std::string_view key) {
    bool bare = !key.empty();
    for (char c : key)
        bare = bare && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-');
    return bare ? std::string(key) : tomlString(key);
}

std::string tomlInline(const toml::node& value) {
    if (auto s = value.as_string()) return tomlString(s->get());
    if (auto i = value.as_integer()) return std::to_string(i->get());
    if (auto b = value.as_boolean()) return b->get() ? "true" : "false";
    if (auto a = value.as_array()) {
        std::string out = "[";
        for (size_t k = 0; k < a->size(); ++k) out += (k ? ", " : "") + tomlInline((*a)[k]);
        return out + "]";
    }
    if (auto t = value.as_table()) {
        std::string out;
        for (auto&& [key, item] : *t) out += (out.empty() ? "{ " : ", ") + tomlKey(key.str()) + " = " + tomlInline(item);
        return out.empty() ? "{}" : out + " }";
    }
    return "\"\"";
}

}  // namespace kestro::tool
