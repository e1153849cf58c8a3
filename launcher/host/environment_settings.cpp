#include "host/environment_settings.h"

#include "common/text.h"

namespace kestro {

std::vector<EnvironmentSetting> parseEnvironmentSettings(std::string_view stored) {
    std::vector<EnvironmentSetting> settings;
    for (const std::string& line : splitList(stored, '\n')) {
        size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        settings.push_back({line.substr(0, equals), line.substr(equals + 1)});
    }
    return settings;
}

void expandPercentReferences(std::string& text, std::optional<std::string> (*lookup)(const char* name)) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find('%', at);
        size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) break;
        std::string name = text.substr(open + 1, close - open - 1);
        std::optional<std::string> value = name.empty() ? std::nullopt : lookup(name.c_str());
        out.append(text, at, open - at);
        if (value) {
            out += *value;
            at = close + 1;
        } else {
            // The closing "%" may open the next reference: "%UNSET%PATH%" keeps "%UNSET".
            out.append(text, open, close - open);
            at = close;
        }
    }
    out.append(text, at, std::string::npos);
    text = truncated(std::move(out));
}

}  // namespace kestro
