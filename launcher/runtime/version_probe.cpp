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

std::optional<std::string> versionFromProbeOutput(std::string_view output) {
    constexpr size_t kLineRead = 99;  // what a 100-byte fgets buffer holds
    for (size_t lines = 0; lines < kProbeLineLimit && !output.empty(); ++lines) {
        size_t end = output.find('\n');
        std::string_view whole = output.substr(0, end);
        output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
        if (!whole.empty() && whole.back() == '\r') whole.remove_suffix(1);
        std::string line(whole.substr(0, kLineRead));
        if (line.size() < kLineRead && end != std::string_view::npos) line += '\n';
        if (std::optional<std::string> version = versionFromProbeLine(line)) return version;
    }
    return std::nullopt;
}

}  // namespace kestro
