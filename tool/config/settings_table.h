// The readable settings of a configuration file: each names one byte-string entry of
// the block and says how its TOML value becomes the stored text.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "format/block_format.h"

namespace kestro::tool {

using format::ConfigKey;

enum class Kind {
    Text,           // any string
    ClassName,      // a dotted Java class name such as "com.example.Main"
    Version,        // a Java version such as "1.8" or "17.0.2"; empty for none
    Bool,           // stored "1" / "0"
    AppType,        // "gui", "console" or an integer
    Flavour,        // "kestro" or "velmora", stored as its first letter
    CommandLine,    // a string, or a list joined so that the launcher splits it back
    DirectoryList,  // a list of directories joined with ";"
    SearchList,     // runtime search entries
    ClassPath,      // class path entries
    Percent,        // an integer from 1 to 100
    Megabytes,      // a positive integer
    ExitCodes,      // a list of integers, joined with ";"
    ModuleName,     // a dotted module name, optionally "/" and a dotted class name
};

struct Setting {
    std::string_view group;
    std::string_view name;
    ConfigKey key;
    Kind kind;
    // The stored text written when the file leaves the setting out (unless the
    // defaults are switched off); nothing when the key is then absent.
    std::optional<std::string_view> defaultText = std::nullopt;
    size_t maxCharacters = 0;  // 0: only the launcher's general text limit
    // Messages only: the launcher carries this one but never shows it. `shownInstead`
    // names the message it shows in the same situation, if there is one.
    bool neverShown = false;
    std::string_view shownInstead = {};

    std::string fullName() const { return std::string(group) + "." + std::string(name); }
};

// A name a setting had before it was renamed.
struct FormerName {
    std::string_view group;
    std::string_view name;
    ConfigKey key;  // of the setting that now carries it

    std::string fullName() const { return std::string(group) + "." + std::string(name); }
};

// In the order a printed configuration lists them.
std::span<const Setting> allSettings();
const Setting* findSetting(std::string_view group, std::string_view name);
const Setting* findSetting(ConfigKey key);
const FormerName* findFormerName(std::string_view group, std::string_view name);

// The groups of allSettings(), in order.
std::span<const std::string_view> settingGroups();

// The text the build writes for `setting` when the file leaves it out, as UTF-8, given
// the texts stored for the other keys: the message for no runtime found names the Java
// versions that the bounds (keys 126 and 127) admit, "Java 17 or later", "Java 11 to
// 17". Every other default is the table's. Requires setting.defaultText.
std::string defaultTextFor(const Setting& setting, const std::map<ConfigKey, std::string>& stored);

// The question the build adds beside java.download_url unless the file words it.
inline constexpr std::string_view kOpenDownloadUrlText = "Do you want to open {0} to download Java now?";

// The launcher reads byte-string values into buffers of this many bytes with the
// terminating zero.
inline constexpr size_t kLauncherTextCapacity = 8192;

}  // namespace kestro::tool
