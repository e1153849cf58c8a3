#include <cstdio>

#include "tool/config/raw_resources.h"
#include "tool/inspect/entry_view.h"
#include "tool/inspect/inspect_report.h"
#include "tool/resources/resource_export.h"
#include "tool/settings/raw_values.h"
#include "tool/settings/subsystem.h"
#include "tool/toml/toml_writer.h"

namespace kestro::tool {

namespace {

std::string padded(std::string text, size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text + " ";
}

std::string shownBytes(const std::string& bytes, CodePage cp) {
    auto text = fromCodePage(bytes, cp);
    return text ? tomlString(*text) : "hex " + toHex(bytes);
}

std::string shownWide(const std::u16string& value) {
    if (auto text = utf16ToUtf8(value)) return tomlString(*text);
    std::string bytes;
    for (char16_t c : value) bytes += {char(c & 0xFF), char(c >> 8)};
    return "hex " + toHex(bytes);
}

std::string stringLine(const format::StringEntry& entry, CodePage cp) {
    EntryView view = viewEntry(entry, cp);
    std::string line = "  " + padded(std::to_string(entry.key), 6) +
                       padded(view.name.empty() ? "-" : view.name, 36) + shownBytes(entry.value, cp);
    // The readable form adds something only where it differs from the quoted text.
    if (const toml::node* value = view.value(); value && !(value->is_string() && view.text == value->as_string()->get()))
        line += "  = " + tomlInline(*value);
    else if (view.setting && !value)
        line += "  (no readable form)";
    return line + "\n";
}

void wideLines(std::string& out, const std::vector<format::WideEntry>& entries) {
    for (const auto& e : entries) out += "  " + padded(std::to_string(e.key), 6) + shownWide(e.value) + "\n";
}

}  // namespace

std::string textReport(const LauncherContents& contents, CodePage cp, const std::string& file) {
    uint64_t included = 0;
    for (const auto& f : contents.files) included += f.size;
    std::string out = file + ": configuration block at offset " + std::to_string(contents.blockOffset) + " of " +
                      std::to_string(contents.fileSize) + " bytes; texts read as " + std::string(codePageName(cp)) + "\n";
    out += "subsystem " + std::string(subsystemName(contents.subsystem).value_or("unknown")) + " (" +
           std::to_string(contents.subsystem) + ")\n";

    out += "\nEntries (" + std::to_string(contents.head.strings.size()) + ")\n";
    for (const auto& entry : contents.head.strings) out += stringLine(entry, cp);
    if (!contents.head.wides.empty()) {
        out += "\nWide strings (" + std::to_string(contents.head.wides.size()) + ")\n";
        wideLines(out, contents.head.wides);
    }
    for (const auto& set : contents.head.localeSets) {
        out += "\nLocale set " + shownBytes(set.prefix, cp) + " (" + std::to_string(set.entries.size()) + ")\n";
        wideLines(out, set.entries);
    }
    out += "\nInstances\n  " + instanceBehaviour(contents.head) + "\n";
    out += "\nIncluded files (" + std::to_string(contents.files.size()) + ", " + std::to_string(included) + " bytes)\n";
    for (const auto& f : contents.files)
        out += "  " + padded(f.name.empty() ? "(unnamed)" : f.name, 40) + std::to_string(f.size) + " bytes\n";
    if (!contents.resources.empty()) {
        out += "\nResources (" + std::to_string(contents.resources.size()) + ")\n";
        out += "  type                 id     language  size\n";
        for (const auto& r : contents.resources) {
            std::string name = resourceTypeName(r.type);
            out += "  " + padded(std::to_string(r.type) + (name.empty() ? "" : " " + name), 20) +
                   padded(std::to_string(r.id), 6) + padded(std::to_string(r.language), 9) +
                   std::to_string(r.data.size()) + " bytes";
            if (auto what = resources::describeResource(r, contents.resources)) out += "  " + *what;
            out += "\n";
        }
    }
    if (!contents.warnings.empty()) {
        out += "\nWarnings\n";
        for (const auto& w : contents.warnings) out += "  " + w + "\n";
    }
    return out;
}

}  // namespace kestro::tool
