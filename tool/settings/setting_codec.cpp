#include "tool/settings/setting_codec.h"

#include <algorithm>
#include <cstdint>

#include "tool/config/value_checks.h"
#include "tool/settings/class_path.h"
#include "tool/settings/search_list.h"
#include "tool/settings/setting_error.h"
#include "tool/text/command_line_text.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace {

bool equalsFolded(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

// One of a few words in any letter case ("GUI" is "gui"), each stored as its own text,
// or (with `integers`) any integer.
std::string encodeChoice(const toml::node& value,
                         std::initializer_list<std::pair<std::string_view, std::string_view>> words, bool integers) {
    if (auto s = value.as_string()) {
        for (auto [word, stored] : words)
            if (equalsFolded(s->get(), word)) return std::string(stored);
    } else if (integers && value.is_integer()) {
        return std::to_string(requireInt32(value));
    }
    std::string expected;
    for (auto [word, stored] : words) expected += (expected.empty() ? "\"" : ", \"") + std::string(word) + "\"";
    throw SettingError("expected " + expected + (integers ? " or an integer" : "") + ", got " +
                           (value.is_string() ? "\"" + value.as_string()->get() + "\"" : std::string(describeType(value))),
                       &value);
}

SettingError tooLongForLauncher(size_t bytes, const toml::node& value) {
    return SettingError("the stored text would be " + std::to_string(bytes) + " bytes; the launcher reads at most " +
                            std::to_string(kLauncherTextCapacity - 1),
                        &value);
}

// Runs a value check, pointing its complaint at `value`.
template <class Check>
const std::string& checked(const toml::node& value, Check check) {
    const std::string& text = requireString(value);
    try {
        check(text);
    } catch (const SettingError& e) {
        throw SettingError(e.what(), &value);
    }
    return text;
}

// A version is ASCII, so its length is its stored size: a text too long for the
// launcher is refused before its form is looked at. A whole number (min_version = 17)
// is the version of that text; a TOML float is refused, since "1.10" would read as 1.1.
std::string encodeVersion(const toml::node& value) {
    if (value.is_integer() && value.as_integer()->get() >= 0) return std::to_string(value.as_integer()->get());
    if (value.is_floating_point())
        throw SettingError("a version is text: write it in quotes, such as \"1.8\" (as a number, 1.10 would be 1.1)",
                           &value);
    const std::string& text = requireString(value);
    if (text.size() >= kLauncherTextCapacity) throw tooLongForLauncher(text.size(), value);
    return checked(value, checkVersionBound);
}

std::string encodeAppType(const toml::node& value) {
    std::string text = encodeChoice(value, {{"gui", "1"}, {"console", "2"}}, true);
    if (value.is_integer()) checkApplicationType(requireInt32(value));
    return text;
}

std::string encodeDirectoryList(const toml::node& value) {
    std::vector<std::string> items = requireStringList(value);
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        checkListItem(items[i], "the directory", *value.as_array()->get(i), "[" + std::to_string(i) + "]");
        text += (i ? ";" : "") + items[i];
    }
    return text;
}

std::string encodeCommandLine(const toml::node& value) {
    if (value.is_string()) return value.as_string()->get();
    if (!value.is_array()) throw SettingError("expected a string or a list of strings, got " +
                                                  std::string(describeType(value)), &value);
    std::vector<std::string> arguments = requireStringList(value);
    try {
        return joinArguments(arguments);
    } catch (const SettingError& e) {
        // The path is the argument's position "[i]"; the element has its own line.
        throw SettingError(e.what(), value.as_array()->get(std::stoul(e.path().substr(1))), e.path());
    }
}

// A whole number from `low` to `high`, stored as decimal text.
std::string encodeBounded(const toml::node& value, int64_t low, int64_t high) {
    if (!value.is_integer()) throw SettingError("expected an integer, got " + std::string(describeType(value)), &value);
    int64_t number = value.as_integer()->get();
    if (number < low || number > high)
        throw SettingError("expected " + std::to_string(low) + " to " + std::to_string(high) + ", got " +
                               std::to_string(number),
                           &value);
    return std::to_string(number);
}

// Exit codes as the process reports them: a 32-bit number, negative for the large
// unsigned codes of crashes.
std::string encodeExitCodes(const toml::node& value) {
    const toml::array& list = requireArray(value);
    std::string text;
    for (size_t i = 0; i < list.size(); ++i) {
        try {
            text += (i ? ";" : "") + encodeBounded(list[i], INT32_MIN, INT32_MAX);
        } catch (const SettingError& e) {
            throw SettingError(e.what(), &list[i], "[" + std::to_string(i) + "]");
        }
    }
    return text;
}

// The UTF-8 text stored for `value`, before the code page.
std::string encodeText(const Setting& setting, const toml::node& value) {
    switch (setting.kind) {
    case Kind::Text: return requireString(value);
    case Kind::ClassName: return checked(value, checkMainClass);
    case Kind::Version: return encodeVersion(value);
    case Kind::Bool: return requireBool(value) ? "1" : "0";
    case Kind::AppType: return encodeAppType(value);
    case Kind::Flavour: return encodeChoice(value, {{"kestro", "k"}, {"velmora", "v"}}, false);
    case Kind::CommandLine: return encodeCommandLine(value);
    case Kind::DirectoryList: return encodeDirectoryList(value);
    case Kind::SearchList: return encodeSearchList(value);
    case Kind::ClassPath: return encodeClassPath(value);
    case Kind::Percent: return encodeBounded(value, 1, 100);
    case Kind::Megabytes: return encodeBounded(value, 1, INT32_MAX);
    case Kind::ExitCodes: return encodeExitCodes(value);
    case Kind::ModuleName: return checked(value, checkMainModule);
    }
    return {};
}

// The readable forms a stored text might have, most structured first; each is tried
// and kept only when it encodes back to the same bytes.
std::vector<toml::array> candidates(Kind kind, const std::string& text) {
    std::vector<toml::array> forms;
    auto add = [&](auto&& value) { forms.emplace_back().push_back(std::forward<decltype(value)>(value)); };
    auto number = parseCanonicalInt(text);
    switch (kind) {
    case Kind::Text:
    case Kind::ClassName:
    case Kind::Version:
    case Kind::ModuleName: add(text); break;
    case Kind::Bool:
        if (text == "1" || text == "0") add(text == "1");
        break;
    case Kind::AppType:
        if (text == "1") add("gui");
        else if (text == "2") add("console");
        else if (number) add(int64_t(*number));
        break;
    case Kind::Flavour:
        if (text == "k") add("kestro");
        else if (text == "v") add("velmora");
        break;
    case Kind::CommandLine: {
        toml::array list;
        for (auto& argument : splitArguments(text)) list.push_back(argument);
        add(std::move(list));
        add(text);
        break;
    }
    case Kind::DirectoryList: {
        toml::array list;
        for (auto& item : splitKeepingEmpty(text)) list.push_back(item);
        add(std::move(list));
        break;
    }
    case Kind::SearchList:
        if (auto list = decodeSearchList(text)) add(std::move(*list));
        break;
    case Kind::ClassPath:
        if (auto list = decodeClassPath(text)) add(std::move(*list));
        break;
    case Kind::Percent:
    case Kind::Megabytes:
        if (number) add(int64_t(*number));
        break;
    case Kind::ExitCodes: {
        toml::array list;
        for (auto& item : splitKeepingEmpty(text))
            if (auto code = parseCanonicalInt(item)) list.push_back(int64_t(*code));
        add(std::move(list));
        break;
    }
    }
    return forms;
}

}  // namespace

std::string encodeSetting(const Setting& setting, const toml::node& value, CodePage cp) {
    std::string text = encodeText(setting, value);
    if (setting.maxCharacters && countCharacters(text) > setting.maxCharacters)
        throw SettingError("the text has " + std::to_string(countCharacters(text)) + " characters; at most " +
                               std::to_string(setting.maxCharacters) + " are allowed",
                           &value);
    if (text.find('\0') != std::string::npos)
        throw SettingError("the text contains a zero character, where the launcher would cut it off", &value);
    std::string bytes;
    try {
        bytes = toCodePage(text, cp);
    } catch (const SettingError& e) {
        throw SettingError(e.what(), &value);
    }
    if (bytes.size() >= kLauncherTextCapacity) throw tooLongForLauncher(bytes.size(), value);
    return bytes;
}

bool decodeSetting(const Setting& setting, std::string_view bytes, CodePage cp, toml::table& group) {
    auto text = fromCodePage(bytes, cp);
    if (!text) return false;
    for (toml::array& form : candidates(setting.kind, *text)) {
        try {
            if (encodeSetting(setting, form[0], cp) != bytes) continue;
        } catch (const SettingError&) {
            continue;
        }
        group.insert_or_assign(setting.name, std::move(form[0]));
        return true;
    }
    return false;
}

}  // namespace kestro::tool
