#include "tool/config/settings_table.h"

#include <algorithm>
#include <array>

#include "format/config_keys.h"
#include "tool/config/value_checks.h"
#include "tool/settings/setting_error.h"

namespace kestro::tool {

namespace {

// The launcher carries no texts of its own, so a block without these would show
// empty error messages.
constexpr Setting message(std::string_view name, ConfigKey id, std::string_view text) {
    return Setting{"messages", name, id, Kind::Text, text};
}

// A message that no launcher path shows (the 32-bit and the older forms, and those of a
// dialog the launcher does not use): written only when the file sets it.
constexpr Setting unshownMessage(std::string_view name, ConfigKey id, std::string_view instead = {}) {
    return Setting{"messages", name, id, Kind::Text, std::nullopt, 0, true, instead};
}

const std::array kSettings{
    Setting{"application", "main_class", key::MainClass, Kind::ClassName},
    Setting{"application", "type", key::ApplicationType, Kind::AppType},
    Setting{"application", "arguments", key::ProgramArguments, Kind::CommandLine},
    Setting{"application", "directory", key::ApplicationDirectory, Kind::Text, "."},
    Setting{"application", "working_directory", key::WorkingDirectory, Kind::Text},
    Setting{"application", "flavour", key::Flavour, Kind::Flavour, "k"},
    // The bundled runtime first, then the user's choice, then what is installed (see
    // docs/configuration.md, "How a launcher finds Java").
    Setting{"java", "search_order", key::SearchList, Kind::SearchList, "Rjre;EKESTRO_JAVA_HOME;EJAVA_HOME;Y;S"},
    Setting{"java", "min_version", key::MinVersion, Kind::Version},
    Setting{"java", "max_version", key::MaxVersion, Kind::Version},
    Setting{"java", "allow_prerelease", key::AllowPrerelease, Kind::Bool},
    Setting{"java", "require_jdk", key::RequireJdk, Kind::Bool},
    Setting{"java", "preferred_vm", key::PreferredVm, Kind::Text, std::nullopt, 199},
    Setting{"java", "installations_value", key::InstallationsValue, Kind::Text},
    Setting{"java", "list_passed_over", key::ListPassedOver, Kind::Bool, "1"},
    Setting{"vm", "options", key::VmOptions, Kind::CommandLine},
    Setting{"vm", "options_from_command_line", key::JavaOptionArguments, Kind::Bool},
    Setting{"classpath", "entries", key::ClassPath, Kind::ClassPath},
    Setting{"native", "library_path", key::NativeLibraryPath, Kind::DirectoryList},
    Setting{"redirect", "stderr", key::RedirectStderr, Kind::Bool},
    Setting{"redirect", "stderr_file", key::StderrFile, Kind::Text, "error.log"},
    Setting{"redirect", "stdout", key::RedirectStdout, Kind::Bool},
    Setting{"redirect", "stdout_file", key::StdoutFile, Kind::Text, "output.log"},
    Setting{"redirect", "append", key::LauncherFlag, Kind::Bool},
    Setting{"switches", "quiet", key::QuietSwitches, Kind::Bool},
    Setting{"switches", "console", key::ConsoleSwitch, Kind::Bool},
    Setting{"splash", "enabled", key::SplashScreen, Kind::Bool},
    Setting{"splash", "use_runtime_library", key::RuntimeSplash, Kind::Bool},
    Setting{"instance", "single", key::SingleInstance, Kind::Bool},
    Setting{"instance", "across_sessions", key::GlobalInstance, Kind::Bool},
    message("caption", 1000, "Error"),
    unshownMessage("no_jvm_found", 1001, "no_jvm_found_bits"),
    unshownMessage("damaged_jvm_in_path", 1002, "no_jvm_found_bits"),
    unshownMessage("bad_runtime_variable", 1003, "bad_runtime_variable_64"),
    unshownMessage("damaged_jvm_at", 1004, "damaged_jvm_at_64"),
    message("jvm_start_failed", 1005,
            "The JVM could not be started. The maximum heap size (-Xmx) might be too large or an antivirus or "
            "firewall tool could block the execution."),
    message("path_not_found", 1006, "File or directory {0} not found or empty\n"),
    unshownMessage("wrong_parameter_usage", 1007),
    message("variable_undefined", 1008, "The environment variable {0} has to be defined"),
    message("internal_error", 1009, "An internal error occurred (error code: {0})"),
    message("main_class_not_loaded", 1010, "Couldn't load main class."),
    message("main_method_not_found", 1011, "Main method not found."),
    unshownMessage("error_label", 1012, "caption"),
    unshownMessage("ok_label", 1013),
    unshownMessage("startup_error", 1014),
    message("no_temp_directory", 1015, "You must be at least Poweruser to run this program."),
    message("no_jvm_found_bits", 1016,
            "No JVM could be found on your system.\nPlease define KESTRO_JAVA_HOME\nto point to an installed {0}-bit "
            "JDK or JRE or download a JRE from adoptium.net."),
    unshownMessage("bad_runtime_variable_32", 1017, "bad_runtime_variable_64"),
    message("bad_runtime_variable_64", 1018,
            "The {0} environment variable does not\npoint to a working 64-bit JDK or JRE."),
    unshownMessage("damaged_jvm_at_32", 1019, "damaged_jvm_at_64"),
    message("damaged_jvm_at_64", 1020,
            "The JVM found at {0} is damaged.\nPlease reinstall or define KESTRO_JAVA_HOME\nto point to an installed "
            "64-bit JDK or JRE."),
    message("application_error", 1021, "The application ended with an error:\n{0}"),
    Setting{"java", "max_heap_percent", key::MaxHeapPercent, Kind::Percent},
    Setting{"java", "initial_heap_percent", key::InitialHeapPercent, Kind::Percent},
    Setting{"java", "max_heap_limit_mb", key::MaxHeapLimitMb, Kind::Megabytes},
    Setting{"java", "download_url", key::DownloadUrl, Kind::Text},
    Setting{"application", "restart_exit_codes", key::RestartExitCodes, Kind::ExitCodes},
    // Written by the build only beside java.download_url (see addDefaults).
    Setting{"messages", "open_download_url", msg::OpenDownloadUrl, Kind::Text},
    Setting{"application", "main_module", key::MainModule, Kind::ModuleName},
    Setting{"application", "module_path", key::ModulePath, Kind::DirectoryList},
};

// Names that settings had before; a file using one still builds, with a warning.
const std::array kFormerNames{
    FormerName{"application", "launcher_class_flag", key::LauncherFlag},
};

constexpr std::array<std::string_view, 10> kGroups{"application", "java",   "vm",       "classpath", "native",
                                                   "redirect",    "switches", "splash", "instance", "messages"};

// "Java 17 or later" and the like, or nothing without bounds, and for bounds that are
// no versions or admit none (set under [keys]), whose text would not help.
std::string acceptableVersions(std::string min, std::string max) {
    try {
        checkVersionBound(min);
        checkVersionBound(max);
    } catch (const SettingError&) {
        return {};
    }
    if (min.empty() && max.empty()) return {};
    if (max.empty()) return "Java " + min + " or later";
    if (min.empty()) return "Java " + max + " or earlier";
    if (versionBoundsExclude(min, max)) return {};
    return min == max ? "Java " + min : "Java " + min + " to " + max;
}

}  // namespace

std::string defaultTextFor(const Setting& setting, const std::map<ConfigKey, std::string>& stored) {
    std::string text(*setting.defaultText);
    if (setting.key != msg::NoJvmFound) return text;
    auto bound = [&](ConfigKey key) { return stored.contains(key) ? stored.at(key) : std::string(); };
    std::string versions = acceptableVersions(bound(key::MinVersion), bound(key::MaxVersion));
    if (!versions.empty()) text.insert(text.find('\n') + 1, "This application needs " + versions + ".\n");
    return text;
}

std::span<const Setting> allSettings() { return kSettings; }

std::span<const std::string_view> settingGroups() { return kGroups; }

const Setting* findSetting(std::string_view group, std::string_view name) {
    auto it = std::ranges::find_if(kSettings, [&](const Setting& s) { return s.group == group && s.name == name; });
    return it == kSettings.end() ? nullptr : &*it;
}

const FormerName* findFormerName(std::string_view group, std::string_view name) {
    auto it =
        std::ranges::find_if(kFormerNames, [&](const FormerName& f) { return f.group == group && f.name == name; });
    return it == kFormerNames.end() ? nullptr : &*it;
}

const Setting* findSetting(ConfigKey key) {
    auto it = std::ranges::find_if(kSettings, [&](const Setting& s) { return s.key == key; });
    return it == kSettings.end() ? nullptr : &*it;
}

}  // namespace kestro::tool
