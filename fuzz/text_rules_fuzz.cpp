// The small text rules of the launcher and of the build tool, on every line of the
// input: command-line splitting, included file names, decimal numbers, lists, variable
// expansion, search list entries, path rules, message placeholders, version texts,
// code pages. Where the tool writes what the launcher reads, the two must agree.
#include "common/text.h"
#include "config/config_tables.h"
#include "config/locale.h"
#include "diagnostics/log_switch.h"
#include "diagnostics/message_text.h"
#include "runtime/search_list.h"
#include "runtime/version_probe.h"
#include "runtime/version_rules.h"
#include "startup/command_line.h"
#include "support/fuzz_check.h"
#include "tool/config/included_names.h"
#include "tool/settings/setting_error.h"
#include "tool/text/code_page.h"
#include "tool/text/command_line_text.h"
#include "vm/variable_expansion.h"
#include "workfiles/included_names.h"
#include "workfiles/path_rules.h"

namespace kestro::fuzz {

namespace {

// Each byte as one UTF-16 unit, the way an 8-bit text reaches the launcher's splitter.
Utf16 widen(std::string_view text) {
    Utf16 wide;
    for (char c : text) wide += char16_t(uint8_t(c));
    return wide;
}

std::string narrow(const Utf16& wide) {
    std::string text;
    for (char16_t c : wide) text += char(c);
    return text;
}

// The tool stores VM options and arguments as one text; the launcher splits such a
// text as it splits its own command line.
void commandLine(std::string_view line) {
    std::vector<Utf16> wide;
    splitCommandLine(widen(line), wide);
    std::vector<std::string> split = tool::splitArguments(line);
    FUZZ_CHECK(split.size() == wide.size());
    for (size_t i = 0; i < split.size(); ++i) FUZZ_CHECK(narrow(wide[i]) == split[i]);
}

// The lines as arguments, joined by the tool and split again.
void joinedArguments(const std::vector<std::string_view>& lines) {
    std::vector<std::string> arguments(lines.begin(), lines.end());
    std::string joined;
    try {
        joined = tool::joinArguments(arguments);
    } catch (const tool::SettingError&) {
        return;
    }
    FUZZ_CHECK(tool::splitArguments(joined) == arguments);
}

// A name the build accepts is one the launcher extracts below its directory.
void includedNames(std::string_view line) {
    std::string stored;
    try {
        stored = tool::normaliseIncludedName(line);
    } catch (const tool::SettingError&) {
        return;
    }
    FUZZ_CHECK(isSafeIncludedName(stored));
    includedNameDirectory(stored);
    // What inspect extracts to: relative, at most one directory level, never upwards.
    std::filesystem::path path = tool::includedNamePath(stored);
    FUZZ_CHECK(path.is_relative() && std::distance(path.begin(), path.end()) <= 2);
    for (const auto& part : path) FUZZ_CHECK(part != ".." && part != ".");
}

void lists(std::string_view line) {
    for (const std::string& item : splitList(line)) FUZZ_CHECK(!item.empty() && item.find(';') == std::string::npos);
    int32_t count = parseDecimalInt(line);
    FUZZ_CHECK(includedFileNames(line, count).size() <= size_t(count > 0 ? count : 0));
    for (const SearchEntry& entry : parseSearchList(line)) {
        isRelativeSearchValue(entry.value);
        triedInFallbackPass(entry);
    }
    javaBinDirectory(line);
    runtimeHomeOf(line);
    embeddedRuntimeJava(line);
    withoutLineEnd(std::string(line));
}

void paths(std::string_view line, std::string_view next) {
    isRelativePath(line);
    isDriveRootText(line);
    mayEmptyDirectory(line);
    FUZZ_CHECK(line.starts_with(directoryPart(line)));
    childPath(line, next);
    Utf16 wide = widen(line);
    collapseBackslashRuns(wide);
    FUZZ_CHECK(wide.size() <= line.size());
    lowerAsciiLetters(wide);
    isLogSwitch(wide);
}

// The first line expanded with the next ones as values and environment entries; the
// result stays within the launcher's text buffers.
void expansion(const std::vector<std::string_view>& lines) {
    auto at = [&](size_t i) { return std::string(i < lines.size() ? lines[i] : ""); };
    std::string text = truncated(at(0));
    expandFixedVariables(text, {at(1), at(2), at(3), at(4)});
    FUZZ_CHECK(text.size() < kTextCapacity);
    for (size_t i = 1; i < lines.size(); ++i) expandEnvironmentEntry(text, lines[i]);
    FUZZ_CHECK(text.size() < kTextCapacity);
    FUZZ_CHECK(fillPlaceholder(at(0), at(1).c_str()).size() < kTextCapacity);
}

// The first line as a runtime's version line and version, the next two as bounds.
void versions(const std::vector<std::string_view>& lines) {
    auto at = [&](size_t i) { return std::string(i < lines.size() ? lines[i] : ""); };
    if (auto version = versionFromProbeLine(at(0))) FUZZ_CHECK(!version->empty());
    (void)acceptVersion(at(0), at(1), at(2), false);
    std::vector<Utf16> arguments;
    for (std::string_view line : lines) arguments.push_back(widen(line));
    formatAsDefault(arguments);
    if (at(0).size() >= 2) localeCodeFor(uint16_t(uint8_t(at(0)[0]) | uint8_t(at(0)[1]) << 8));
}

// Configuration text (always valid UTF-8) that converts into a code page converts back
// unchanged.
void codePages(std::string_view line) {
    if (!tool::isValidUtf8(line)) return;
    for (tool::CodePage cp : {tool::CodePage::Windows1252, tool::CodePage::Utf8}) {
        std::string bytes;
        try {
            bytes = tool::toCodePage(line, cp);
        } catch (const tool::SettingError&) {
            continue;
        }
        FUZZ_CHECK(tool::fromCodePage(bytes, cp) == std::string(line));
    }
    auto back = tool::utf16ToUtf8(tool::utf8ToUtf16(line));
    FUZZ_CHECK(back && *back == line);
}

}  // namespace

}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestro::fuzz;
    std::vector<std::string_view> all = lines(asText(data, size));
    for (size_t i = 0; i < all.size(); ++i) {
        std::string_view line = all[i], next = i + 1 < all.size() ? all[i + 1] : std::string_view();
        commandLine(line);
        includedNames(line);
        lists(line);
        paths(line, next);
        codePages(line);
    }
    joinedArguments(all);
    expansion(all);
    versions(all);
    return 0;
}
