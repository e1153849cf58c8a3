#include "runtime/version_probe.h"

namespace kestro {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::string probeCommandLine(std::string_view program) {
    std::string line = "\"";
    line += program;
    line += "\" -version";
    return line;
}

std::optional<std::string> versionFromProbeLine(std::string_view line) {
    constexpr std::string_view javaForm = "java version \"", openJdkForm = "openjdk version \"";
    std::string_view rest;
    if (startsWith(line, javaForm)) rest = line.substr(javaForm.size());
    else if (startsWith(line, openJdkForm)) rest = line.substr(openJdkForm.size());
    else return std::nullopt;
    // Since Java 10 the quoted version is followed by a date ("17.0.2" 2022-01-18 LTS):
    // the version ends at its closing quote.
    if (size_t quote = rest.find('"'); quote != std::string_view::npos) {
        rest = rest.substr(0, quote);
    } else {
        // Only a line end that is there is dropped: a last line without one keeps its
        // last version character.
        if (!rest.empty() && rest.back() == '\n') rest.remove_suffix(1);
        if (!rest.empty()) rest.remove_suffix(1);
    }
    if (rest.empty()) return std::nullopt;
    return std::string(rest);
}

}  // namespace kestro
