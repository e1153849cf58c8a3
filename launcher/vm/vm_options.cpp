#include "vm/vm_options.h"

#include <algorithm>
#include <cstring>

#include "common/unique.h"
#include "config/config_tables.h"
#include "config/locale.h"
#include "diagnostics/trace.h"
#include "startup/command_line.h"

namespace kestro {

namespace {

struct StdioFileTraits {
    using Handle = std::FILE*;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { std::fclose(h); }
};

constexpr std::string_view kIncludeOptions = "-include-options";
constexpr Utf16View kFormatAsDefaultWide = u"-Dsun.locale.formatasdefault=";

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool startsWith(Utf16View text, Utf16View prefix) { return text.substr(0, prefix.size()) == prefix; }

// UTF-8 as UTF-16; each malformed sequence (overlong, a surrogate, beyond U+10FFFF, cut
// short) becomes U+FFFD, which no 8-bit code page holds.
Utf16 fromUtf8(std::string_view text) {
    Utf16 out;
    for (size_t i = 0; i < text.size();) {
        uint8_t lead = uint8_t(text[i]);
        size_t extra = lead < 0x80 ? 0 : lead >> 5 == 6 ? 1 : lead >> 4 == 14 ? 2 : lead >> 3 == 30 ? 3 : 4;
        char32_t c = lead & (0x7F >> extra);
        size_t n = 1;
        while (extra < 4 && n <= extra && i + n < text.size() && (uint8_t(text[i + n]) & 0xC0) == 0x80)
            c = c << 6 | (uint8_t(text[i + n++]) & 0x3F);
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        bool valid = extra < 4 && n == extra + 1 && c >= least[extra] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        if (!valid) c = 0xFFFD;
        if (c >= 0x10000) out += {char16_t(0xD800 + ((c - 0x10000) >> 10)), char16_t(0xDC00 + (c & 0x3FF))};
        else out += char16_t(c);
        i += n;
    }
    return out;
}

// Text without a byte-order mark is UTF-8 when every piece is well-formed UTF-8 and
// one byte at least is not ASCII: ANSI text with letters beyond ASCII is almost never
// well-formed UTF-8, and ASCII reads alike either way. A sequence cut between two pieces
// of a long line makes the file ANSI.
bool isUtf8Text(const std::vector<std::string>& pieces) {
    bool beyondAscii = false;
    for (const std::string& piece : pieces) {
        for (char c : piece) beyondAscii |= uint8_t(c) >= 0x80;
        if (fromUtf8(piece).find(u'\uFFFD') != Utf16::npos) return false;
    }
    return beyondAscii;
}

// A line of a UTF-8 file in the code page the VM reads its options in; a character the
// code page lacks becomes "?", and the trace says so.
std::string narrowUtf8Line(const std::string& line, const std::string& path, const VmSystem& system) {
    Utf16 wide = fromUtf8(line);
    std::string narrow = system.toNarrow(wide);
    if (std::count(narrow.begin(), narrow.end(), '?') > std::count(wide.begin(), wide.end(), u'?'))
        traceError("vmoptions file <%s>: characters outside the code page became \"?\" in %s", path.c_str(),
                   narrow.c_str());
    return narrow;
}

// A command-line text as an 8-bit option, cut to the option buffer.
std::string narrowOption(Utf16View text, const VmSystem& system) { return truncated(system.toNarrow(text)); }

void includeFile(const char* filePath, std::string path, OptionCollector& collector) {
    const VmSystem& system = collector.system;
    system.expand(path);
    path = truncated(std::move(path));
    std::string resolved = system.resolve(path, filePath);
    // Compared by full, lower-cased path: the file system ignores the case of names,
    // and "." or ".." segments must not hide a file that includes itself.
    std::string identity = system.fullPath(resolved, false);
    const auto& reading = collector.filesBeingRead;
    if (std::find(reading.begin(), reading.end(), identity) != reading.end()) {
        traceError("vmoptions file <%s> includes itself, include skipped", resolved.c_str());
        return;
    }
    std::FILE* file = system.openText(resolved);
    trace("adding vmoptions from <%s> (%s) (%p)", resolved.c_str(), path.c_str(), static_cast<void*>(file));
    readVmOptionsFile(resolved.c_str(), OptionFile{file, resolved}, collector);
}

void addLocaleOptions(const std::vector<Utf16>& arguments, OptionCollector& collector) {
    const Utf16* last = nullptr;
    for (const Utf16& argument : arguments)
        if (startsWith(argument, kFormatAsDefaultWide)) last = &argument;
    if (!last) return;
    std::string option = narrowOption(*last, collector.system);
    addOptionLine(nullptr, option, collector);
    if (option == "-Dsun.locale.formatasdefault=true") return;
    std::string code;
    if (copyLocaleLanguage(code)) addOptionLine(nullptr, code.insert(0, "-Duser.language="), collector);
    if (copyLocaleCountry(code)) addOptionLine(nullptr, code.insert(0, "-Duser.country="), collector);
}

}  // namespace

std::optional<std::string> optionLineOf(std::string piece) {
    while (!piece.empty() && (piece.back() == '\r' || piece.back() == '\n')) piece.pop_back();
    size_t first = piece.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    piece.erase(piece.find_last_not_of(' ') + 1);
    piece.erase(0, first);
    if (piece[0] == '#') return std::nullopt;
    return piece;
}

bool readLinePiece(std::FILE* file, std::string& piece) {
    piece.assign(kTextCapacity, '\0');
    if (!std::fgets(piece.data(), int(piece.size()), file)) return false;
    piece.resize(std::strlen(piece.c_str()));
    return true;
}

void splitOptionText(const std::string& text, std::vector<std::string>& pieces, const VmSystem& system) {
    Utf16 wideText = system.toUtf16(text);
    if (wideText.size() > kTextCapacity - 1) wideText.resize(kTextCapacity - 1);
    std::vector<Utf16> parts;
    splitCommandLine(wideText, parts);
    for (const Utf16& part : parts) pieces.push_back(system.toNarrow(part));
}

void collectVmOptions(const std::vector<Utf16>& arguments, OptionCollector& collector) {
    const VmSystem& system = collector.system;
    std::string text = lookupString(key::VmOptions);
    system.expand(text);
    std::vector<std::string> pieces;
    splitOptionText(truncated(std::move(text)), pieces, system);
    trace("adding options\n");
    for (size_t i = 0; i < pieces.size(); ++i) {
        // An include and its path may arrive as two pieces; a class path directive
        // must be quoted into one.
        if (pieces[i] == kIncludeOptions && i + 1 < pieces.size()) {
            pieces[i] += ' ';
            pieces[i] += pieces[i + 1];
            addOptionLine(nullptr, pieces[i], collector);
            ++i;
        } else {
            addOptionLine(nullptr, pieces[i], collector);
        }
    }
    if (lookupInt(key::JavaOptionArguments) != 0)
        for (const Utf16& argument : arguments)
            if (startsWith(argument, u"-J"))
                addOptionLine(nullptr, narrowOption(Utf16View(argument).substr(2), system), collector);
    addLocaleOptions(arguments, collector);
}

void addOptionLine(const char* filePath, const std::string& line, OptionCollector& collector) {
    ClassPathDirectives& directives = collector.directives;
    if (startsWith(line, "-include-options ")) {
        includeFile(filePath, line.substr(17), collector);
    } else if (startsWith(line, "-classpath ")) {
        directives.replacement = line.substr(11);
    } else if (startsWith(line, "-classpath/p ")) {
        directives.prefix = line.substr(13);
    } else if (startsWith(line, "-classpath/a ")) {
        directives.suffix = line.substr(13);
    } else {
        collector.options.push_back(line);
    }
}

void readVmOptionsFile(const char* filePath, OptionFile file, OptionCollector& collector) {
    Unique<StdioFileTraits> open(file.file);
    if (!open) return;
    std::string piece;
    if (!readLinePiece(open.get(), piece)) return;
    // Options are 8-bit text; a UTF-16 file's bytes would reach the VM as garbage.
    if (startsWith(piece, "\xFF\xFE") || startsWith(piece, "\xFE\xFF")) {
        traceError("vmoptions file <%s> is UTF-16 text and is not read; save it as ANSI or UTF-8", file.path.c_str());
        return;
    }
    // Editors mark UTF-8 with a byte-order mark, which would spoil the first option;
    // Notepad has saved UTF-8 without one since Windows 10 1903. The whole file decides.
    bool marked = startsWith(piece, kUtf8Mark);
    if (marked) piece.erase(0, kUtf8Mark.size());
    std::vector<std::string> pieces;
    do pieces.push_back(piece);  // a copy holds the line, not the whole read buffer
    while (readLinePiece(open.get(), piece));
    bool utf8 = marked || isUtf8Text(pieces);
    collector.filesBeingRead.push_back(collector.system.fullPath(file.path, false));
    for (std::string& each : pieces) {
        std::optional<std::string> line = optionLineOf(std::move(each));
        if (!line) continue;
        if (utf8) *line = narrowUtf8Line(*line, file.path, collector.system);
        collector.system.expand(*line);
        addOptionLine(filePath, truncated(std::move(*line)), collector);
    }
    collector.filesBeingRead.pop_back();
}

OptionFile openDefaultVmOptionsFile(const VmSystem& system) {
    const std::string& exe = system.modulePath();
    // Without a long form the path is used as it is: it names the same file.
    std::string longForm = system.longPath(exe).value_or(exe);
    std::string first = longForm.substr(0, longForm.size() < 4 ? 0 : longForm.size() - 4) + ".vmoptions";
    std::FILE* file = system.openText(first);
    trace("vmoptions: exe file: %s, long: %s, opts1: %s, file: %p", exe.c_str(), longForm.c_str(), first.c_str(),
          static_cast<void*>(file));
    if (file) return {file, first};
    std::string second = longForm + ".vmoptions";
    file = system.openText(second);
    trace("vmoptions: opts2: %s, file: %p", second.c_str(), static_cast<void*>(file));
    return {file, file ? second : std::string()};
}

}  // namespace kestro
