#include "tool/resources/manifest_resource.h"

#include <array>
#include <cctype>

#include "tool/resources/resource_kinds.h"
#include "tool/text/code_page.h"

namespace kestro::tool::resources {

namespace {

constexpr std::array<std::pair<std::string_view, ExecutionLevel>, 3> kLevels{{
    {"asInvoker", ExecutionLevel::AsInvoker},
    {"requireAdministrator", ExecutionLevel::RequireAdministrator},
    {"highestAvailable", ExecutionLevel::HighestAvailable},
}};

// Vista, 7, 8, 8.1, and 10 / 11.
constexpr std::array<std::string_view, 5> kSupportedOs{
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};

bool nameCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_'; }

// The value of attribute `name` in the first `element` tag, scanning plainly.
std::optional<std::string> attribute(std::string_view text, std::string_view element, std::string_view name) {
    // The element with or without a namespace prefix.
    size_t tag = 0;
    for (;; ++tag) {
        tag = text.find(element, tag);
        if (tag == std::string_view::npos) return std::nullopt;
        if (tag > 0 && (text[tag - 1] == '<' || text[tag - 1] == ':')) break;
    }
    size_t close = text.find('>', tag);
    std::string_view inside = text.substr(tag, close == std::string_view::npos ? std::string_view::npos : close - tag);
    for (char quote : {'"', '\''}) {
        std::string key = " " + std::string(name) + "=" + quote;
        size_t at = inside.find(key);
        if (at == std::string_view::npos) continue;
        size_t start = at + key.size(), end = inside.find(quote, start);
        if (end != std::string_view::npos) return std::string(inside.substr(start, end - start));
    }
    return std::nullopt;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// Drops the XML declaration, processing instructions, comments and a document type.
std::string_view skipProlog(std::string_view text) {
    for (;;) {
        text = trimmed(text);
        std::string_view end;
        if (text.starts_with("<?")) end = "?>";
        else if (text.starts_with("<!--")) end = "-->";
        else if (text.starts_with("<!")) end = ">";
        else return text;
        size_t at = text.find(end);
        if (at == std::string_view::npos) return {};
        text.remove_prefix(at + end.size());
    }
}

// "assembly" or "prefix:assembly" followed by a blank, '>' or "/>".
bool namesAssembly(std::string_view tag) {
    size_t end = tag.find_first_of(" \t\r\n/>");
    std::string_view name = tag.substr(0, end);
    if (size_t colon = name.find(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
    return name == "assembly" && end != std::string_view::npos;
}

}  // namespace

std::optional<ExecutionLevel> executionLevelByName(std::string_view name) {
    for (auto [text, level] : kLevels)
        if (text == name) return level;
    return std::nullopt;
}

std::string_view executionLevelName(ExecutionLevel level) {
    for (auto [text, value] : kLevels)
        if (value == level) return text;
    return "asInvoker";
}

std::string assemblyName(std::string_view text) {
    if (text.empty()) return "Application";
    std::string name;
    for (char c : text) name += nameCharacter(c) ? c : '_';
    return name;
}

std::string generateManifest(const ManifestSettings& s) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
        "  <assemblyIdentity type=\"win32\" name=\"" + s.name + "\" version=\"" + versionText(s.version) +
        "\" processorArchitecture=\"amd64\"/>\n"
        "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
        "    <security>\n"
        "      <requestedPrivileges>\n"
        "        <requestedExecutionLevel level=\"" + std::string(executionLevelName(s.level)) +
        "\" uiAccess=\"false\"/>\n"
        "      </requestedPrivileges>\n"
        "    </security>\n"
        "  </trustInfo>\n"
        "  <dependency>\n"
        "    <dependentAssembly>\n"
        "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
        "    </dependentAssembly>\n"
        "  </dependency>\n";
    if (s.dpiAware || s.longPathAware) {
        xml += "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
               "    <windowsSettings>\n";
        if (s.dpiAware)
            // The older element for systems before Windows 10 1607, which ignore the newer one.
            xml += "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm"
                   "</dpiAware>\n"
                   "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                   "PerMonitorV2</dpiAwareness>\n";
        if (s.longPathAware)
            xml += "      <longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"
                   "</longPathAware>\n";
        xml += "    </windowsSettings>\n"
               "  </application>\n";
    }
    xml += "  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n"
           "    <application>\n";
    for (std::string_view id : kSupportedOs) xml += "      <supportedOS Id=\"" + std::string(id) + "\"/>\n";
    xml += "    </application>\n"
           "  </compatibility>\n"
           "</assembly>\n";
    return xml;
}

std::optional<ManifestSettings> decodeGeneratedManifest(std::string_view text) {
    auto name = attribute(text, "assemblyIdentity", "name");
    auto version = attribute(text, "assemblyIdentity", "version");
    auto level = requestedExecutionLevel(text);
    if (!name || !version || !level) return std::nullopt;
    ManifestSettings settings;
    settings.name = *name;
    try {
        settings.version = parseVersionNumbers(*version);
    } catch (const ResourceError&) {
        return std::nullopt;
    }
    auto known = executionLevelByName(*level);
    if (!known) return std::nullopt;
    settings.level = *known;
    for (bool dpi : {true, false})
        for (bool longPaths : {true, false}) {
            settings.dpiAware = dpi;
            settings.longPathAware = longPaths;
            if (generateManifest(settings) == text) return settings;
        }
    return std::nullopt;
}

std::optional<std::string> manifestProblem(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    if (text.find('\0') != std::string_view::npos)
        return "it contains a zero byte (a manifest is UTF-8 text; save it as UTF-8, not UTF-16)";
    if (!isValidUtf8(text)) return "it is not UTF-8 text";
    std::string_view body = skipProlog(text);
    if (!body.starts_with("<") || !namesAssembly(body.substr(1)))
        return "its first element is not <assembly> (a manifest is XML whose root is <assembly "
               "xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">)";
    body = trimmed(body);
    size_t close = body.rfind("</");
    if (close == std::string_view::npos || !body.ends_with(">") ||
        !namesAssembly(body.substr(close + 2)))
        return "it does not end with </assembly>";
    return std::nullopt;
}

std::optional<std::string> requestedExecutionLevel(std::string_view text) {
    return attribute(text, "requestedExecutionLevel", "level");
}

}  // namespace kestro::tool::resources
