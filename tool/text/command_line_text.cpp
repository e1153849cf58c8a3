#include "tool/text/command_line_text.h"

#include "tool/settings/setting_error.h"

namespace kestro::tool {

namespace {

// Quoting the whole argument is always as good as any other split into a bare prefix
// and a quoted rest: the prefix may hold no quote, so the rest needs the same quote
// kind to be absent from the whole argument. An argument with a variable reference is
// quoted too: the launcher replaces references before it splits, and a value such as
// the launcher's directory often holds spaces.
std::string quoted(const std::string& argument, size_t index) {
    bool special = argument.empty() || argument.find_first_of(" \"'%") != std::string::npos ||
                   argument.find("${") != std::string::npos;
    if (!special) return argument;
    if (argument.find('"') == std::string::npos) return '"' + argument + '"';
    if (argument.find('\'') == std::string::npos) return '\'' + argument + '\'';
    throw SettingError("the argument holds both a double and a single quote, which the launcher cannot read back "
                       "as one argument: " + argument,
                       nullptr, "[" + std::to_string(index) + "]");
}

}  // namespace

std::string joinArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i) text += ' ';
        text += quoted(arguments[i], i);
    }
    return text;
}

std::vector<std::string> splitArguments(std::string_view text) {
    constexpr auto npos = std::string_view::npos;
    std::vector<std::string> arguments;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        // A single quote groups only where it opens an argument and is closed later; an
        // apostrophe inside a name (O'Brien.txt) is an ordinary character.
        bool singleQuoted = text[pos] == '\'' && text.find('\'', pos + 1) != npos;
        size_t quote = singleQuoted ? pos : text.find('"', pos);
        size_t space = text.find(' ', pos);
        if (quote == npos || (space != npos && space < quote)) {
            size_t end = space == npos ? text.size() : space;
            arguments.emplace_back(text.substr(pos, end - pos));
            pos = end;
            continue;
        }
        // The bare text before the opening quote joins the quoted stretch; an unclosed
        // double quote runs to the end.
        size_t close = text.find(text[quote], quote + 1);
        std::string argument(text.substr(pos, quote - pos));
        argument += text.substr(quote + 1, close == npos ? npos : close - quote - 1);
        arguments.push_back(std::move(argument));
        if (close == npos) break;
        pos = close + 1;
    }
    return arguments;
}

}  // namespace kestro::tool
