#include "startup/command_line.h"

namespace kestro {

void splitCommandLine(Utf16View text, std::vector<Utf16>& arguments) {
    constexpr auto npos = Utf16View::npos;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == u' ') {
            ++pos;
            continue;
        }
        // A single quote groups only when it opens the argument and is closed later:
        // Explorer leaves a name such as O'Brien.txt unquoted, and its apostrophe must not
        // swallow the arguments after it.
        bool singleQuoted = text[pos] == u'\'' && text.find(u'\'', pos + 1) != npos;
        size_t quote = singleQuoted ? pos : text.find(u'"', pos);
        size_t space = text.find(u' ', pos);
        if (space != npos && (quote == npos || space < quote)) {
            arguments.emplace_back(text.substr(pos, space - pos));
            pos = space + 1;
            continue;
        }
        if (quote == npos) {
            arguments.emplace_back(text.substr(pos));
            return;
        }
        // The text before the opening quote and the quoted stretch form one argument;
        // an unclosed double quote runs to the end of the text.
        size_t close = text.find(text[quote], quote + 1);
        Utf16 argument(text.substr(pos, quote - pos));
        argument += text.substr(quote + 1, close == npos ? npos : close - quote - 1);
        arguments.push_back(std::move(argument));
        if (close == npos) return;
        pos = close + 1;
        if (pos < text.size() && text[pos] == u' ') ++pos;
    }
}

}  // namespace kestro
