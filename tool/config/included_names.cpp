#include "tool/config/included_names.h"

#include <algorithm>

#include "format/device_names.h"
#include "tool/settings/setting_error.h"
#include "tool/toml/toml_values.h"

namespace kestro::tool {

namespace {

void checkComponent(const std::string& part) {
    if (part.empty()) throw SettingError("the name has an empty path component");
    if (part == "." || part == "..")
        throw SettingError("the name has a '" + part + "' component; names stay inside the temporary directory");
    for (char c : part) {
        if (uint8_t(c) < 0x20 || std::string_view("<>\"|?*").find(c) != std::string_view::npos)
            throw SettingError("the name contains a character Windows does not allow in file names");
    }
    if (part.back() == ' ' || part.back() == '.')
        throw SettingError("a name component ends with a space or a dot, which Windows drops");
    if (format::isDeviceName(part))
        throw SettingError("'" + part + "' is a name Windows reserves for a device (CON, PRN, AUX, NUL, COM1 to COM9, "
                           "LPT1 to LPT9, also with an extension); the launcher could not write it as a file");
}

}  // namespace

std::string normaliseIncludedName(std::string_view name) {
    std::string stored(name);
    std::ranges::replace(stored, '/', '\\');
    if (stored.empty()) throw SettingError("the name is empty");
    if (stored.front() == '\\') throw SettingError("the name is absolute; give it relative to the temporary directory");
    if (stored.find(':') != std::string::npos)
        throw SettingError("the name contains ':' (a drive or stream); give it relative to the temporary directory");
    if (stored.find(';') != std::string::npos)
        throw SettingError("the name contains ';', which separates the stored names");
    auto parts = splitKeepingEmpty(stored, '\\');
    if (parts.size() > 2)
        throw SettingError("the name has more than one directory level; the launcher creates only one");
    for (const auto& part : parts) checkComponent(part);
    return stored;
}

std::filesystem::path includedNamePath(std::string_view storedName) {
    std::filesystem::path path;
    for (const auto& part : splitKeepingEmpty(normaliseIncludedName(storedName), '\\')) path /= part;
    return path;
}

std::string foldedName(std::string_view storedName) {
    std::string folded(storedName);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return folded;
}

}  // namespace kestro::tool
