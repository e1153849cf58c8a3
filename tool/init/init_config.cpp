#include "tool/init/init_config.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>

#include "tool/toml/toml_writer.h"

namespace kestro::tool::init {

namespace {

std::string asToml(const std::string& text) { return tomlString(text); }

// "%20" and the like of a URL path; a broken escape stays as written.
std::string decoded(const std::string& url) {
    std::string out;
    auto hex = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
    for (size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size() && hex(url[i + 1]) >= 0 && hex(url[i + 2]) >= 0) {
            out += char(hex(url[i + 1]) * 16 + hex(url[i + 2]));
            i += 2;
        } else {
            out += url[i];
        }
    }
    return out;
}

std::optional<std::string> attribute(const std::map<std::string, std::string>& attributes, const char* name) {
    auto it = attributes.find(name);
    if (it == attributes.end() || it->second.empty()) return std::nullopt;
    return it->second;
}

}  // namespace

JarFacts factsFromManifest(const std::string& jar, const std::map<std::string, std::string>& attributes) {
    JarFacts facts;
    facts.jar = jar;
    facts.mainClass = attribute(attributes, "Main-Class");
    std::string list = attribute(attributes, "Class-Path").value_or("");
    for (size_t from = 0; from < list.size();) {
        size_t end = std::min(list.find(' ', from), list.size());
        std::string entry = decoded(list.substr(from, end - from));
        from = end + 1;
        // A directory ("classes/") or an absolute URL has no archive beside the launcher.
        if (entry.empty() || entry.back() == '/' || entry.find(':') != std::string::npos || entry[0] == '/') continue;
        std::ranges::replace(entry, '/', '\\');
        facts.classPath.push_back(entry);
    }
    facts.name = attribute(attributes, "Implementation-Title");
    if (!facts.name) facts.name = attribute(attributes, "Bundle-Name");
    if (!facts.name) {
        std::string stem = jar.substr(jar.find_last_of("/\\") + 1);
        facts.name = stem.substr(0, stem.rfind('.'));
    }
    facts.version = attribute(attributes, "Implementation-Version");
    if (!facts.version) facts.version = attribute(attributes, "Bundle-Version");
    return facts;
}

std::optional<std::string> versionNumbers(const std::string& version) {
    std::vector<std::string> numbers;
    size_t i = 0;
    while (numbers.size() < 4 && i < version.size() && version[i] >= '0' && version[i] <= '9') {
        size_t end = i;
        while (end < version.size() && version[end] >= '0' && version[end] <= '9') ++end;
        if (end - i > 5 || std::stoul(version.substr(i, end - i)) > 65535) return std::nullopt;
        numbers.push_back(version.substr(i, end - i));
        if (end >= version.size() || version[end] != '.') break;
        i = end + 1;
    }
    if (numbers.empty()) return std::nullopt;
    while (numbers.size() < 3) numbers.push_back("0");
    std::string out;
    for (const std::string& n : numbers) out += (out.empty() ? "" : ".") + n;
    return out;
}

std::vector<InitSection> initSections(const JarFacts& facts, const std::string& upgradeCode) {
    std::vector<InitSection> sections;
    sections.push_back({"", {
        {"", "A starting configuration for kestro build" +
                 (facts.jar.empty() ? std::string() : ", made by kestro init from " + facts.jar) + "."},
        {"", "Every setting is described in docs/configuration.md beside the kestro tool. Build the"},
        {"", "launcher and try it on Linux (arguments after the launcher go to the application):"},
        {"", "    kestro build app.toml -o " + facts.name.value_or("App") + ".exe"},
        {"", "    kestro run " + facts.name.value_or("App") + ".exe"},
    }});

    InitSection application{"application", {}};
    if (facts.mainClass)
        application.lines.push_back({"main_class = " + asToml(*facts.mainClass), "from the jar's Main-Class"});
    else
        application.lines.push_back({"main_class = \"com.example.Main\"", "the class whose main method starts the application"});
    application.lines.push_back({"type = \"gui\"", "a windowed application; \"console\" for one that uses a terminal", true});
    application.lines.push_back({"arguments = [\"--option\"]", "arguments before the user's own", true});
    sections.push_back(application);

    sections.push_back({"java", {
        {"min_version = \"1.8\"", "the oldest Java the application runs on", true},
        {"search_order = [{ relative_directory = \"jre\" }, { variable = \"JAVA_HOME\" }, \"registry\"]",
         "where the launcher looks for a Java runtime; the default also tries KESTRO_JAVA_HOME and PATH", true},
    }});
    sections.push_back({"vm", {{"options = [\"-Xmx512m\"]", "VM options; a .vmoptions file beside the launcher adds more", true}}});

    if (!facts.classPath.empty()) {
        std::string entries = "entries = [";
        for (size_t i = 0; i < facts.classPath.size(); ++i)
            entries += (i ? ", " : "") + std::string("{ archive = ") + asToml(facts.classPath[i]) + " }";
        sections.push_back({"classpath", {{entries + "]", "from the jar's Class-Path, relative to the launcher"}}});
    } else {
        sections.push_back({"classpath", {{"entries = [{ scan = \"lib\" }]", "archives beside the launcher", true}}});
    }

    if (!facts.jar.empty())
        sections.push_back({"files", {{"source = " + asToml(facts.jar), "travels inside the launcher, on its class path"}}, true});

    InitSection version{"version", {}};
    version.lines.push_back({"product_name = " + asToml(facts.name.value_or("App")), "also the caption of the launcher's messages"});
    std::optional<std::string> numbers = facts.version ? versionNumbers(*facts.version) : std::nullopt;
    if (numbers)
        version.lines.push_back({"file_version = " + asToml(*numbers), "from the jar's version " + *facts.version});
    else
        version.lines.push_back({"file_version = \"1.0.0\"", "three or four numbers", true});
    version.lines.push_back({"company = \"Example Ltd\"", "", true});
    sections.push_back(version);

    sections.push_back({"icon", {{"file = \"app.ico\"", "a .ico file, or a PNG image of at most 256x256 pixels", true}}});
    sections.push_back({"instance", {{"single = true", "a second start hands its arguments to the first", true}}});
    // A package's upgrade code must stay the same from version to version, so it is
    // made up once, here, rather than at each kestro package. The table is a suggestion:
    // a package needs a manufacturer, which a jar does not tell.
    sections.push_back({"package", {
        {"upgrade_code = " + asToml(upgradeCode), "for kestro package (docs/packaging.md); keep it for every version", true},
        {"manufacturer = \"Example Ltd\"", "", true},
        {"scope = \"per-user\"", "installs without elevation; \"per-machine\" into Program Files", true},
    }});
    return sections;
}

std::string freshGuid() {
    std::random_device random;
    std::array<uint8_t, 16> bytes;
    for (size_t i = 0; i < bytes.size(); i += 4) {
        uint32_t word = random();
        for (size_t j = 0; j < 4; ++j) bytes[i + j] = uint8_t(word >> (8 * j));
    }
    bytes[6] = uint8_t((bytes[6] & 0x0f) | 0x40);  // version 4: random
    bytes[8] = uint8_t((bytes[8] & 0x3f) | 0x80);  // the RFC 4122 variant
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xf];
    }
    return text;
}

std::string renderSections(const std::vector<InitSection>& sections) {
    std::string text;
    for (const InitSection& section : sections) {
        if (!text.empty()) text += "\n";
        // A table of suggestions alone is a suggestion too.
        bool suggested = std::ranges::all_of(section.lines, [](const InitLine& line) { return line.suggestion; });
        if (!section.table.empty())
            text += std::string(suggested ? "# " : "") + (section.arrayOfTables ? "[[" : "[") + section.table +
                    (section.arrayOfTables ? "]]\n" : "]\n");
        for (const InitLine& line : section.lines) {
            if (line.setting.empty()) {
                text += "# " + line.comment + "\n";
                continue;
            }
            text += (line.suggestion ? "# " : "") + line.setting + (line.comment.empty() ? "" : "  # " + line.comment) + "\n";
        }
    }
    return text;
}

}  // namespace kestro::tool::init
