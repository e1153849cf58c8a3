#include "tool/config/environment_table.h"

#include "tool/config/settings_table.h"
#include "tool/settings/setting_error.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace {

bool hasControlCharacter(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

}  // namespace

void checkEnvironmentName(std::string_view name) {
    if (name.empty()) throw SettingError("a variable needs a name");
    if (name.find('=') != std::string_view::npos)
        throw SettingError("\"" + std::string(name) + "\" is no variable name: it contains '='");
    if (hasControlCharacter(name))
        throw SettingError("\"" + std::string(name) + "\" is no variable name: it contains a control character");
}

std::string encodeEnvironment(const toml::table& table, CodePage cp) {
    std::string text;
    for (auto&& [key, value] : table) {
        std::string name(key.str());
        try {
            checkEnvironmentName(name);
            const std::string& content = requireString(value);
            if (hasControlCharacter(content))
                throw SettingError("the value contains a control character, which the launcher cannot set");
            text += (text.empty() ? "" : "\n") + toCodePage(name + "=" + content, cp);
        } catch (const SettingError& e) {
            throw SettingError(e.what(), &value, "." + name);
        }
    }
    if (text.size() >= kLauncherTextCapacity)
        throw SettingError("the stored text would be " + std::to_string(text.size()) +
                           " bytes; the launcher reads at most " + std::to_string(kLauncherTextCapacity - 1));
    return text;
}

std::optional<toml::table> decodeEnvironment(std::string_view bytes, CodePage cp) {
    auto text = fromCodePage(bytes, cp);
    if (!text || text->empty()) return std::nullopt;
    toml::table table;
    for (const std::string& entry : splitKeepingEmpty(*text, '\n')) {
        size_t equals = entry.find('=');
        if (equals == std::string::npos) return std::nullopt;
        if (!table.insert(entry.substr(0, equals), entry.substr(equals + 1)).second) return std::nullopt;
    }
    try {
        if (encodeEnvironment(table, cp) == bytes) return table;
    } catch (const SettingError&) {
    }
    return std::nullopt;
}

}  // namespace kestro::tool
