// The [package] and [signing] tables of a configuration file: what `kestro package` puts
// in a Windows Installer package, and the certificate that `kestro build` and `kestro
// package` sign with. Read and checked with the rest of the file, so that every problem
// names its line; the defaults that need the built launcher are filled in later
// (package_layout.h).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <toml++/toml.h>

namespace kestro::tool::packaging {

enum class InstallScope { PerMachine, PerUser };

struct PackageFile {
    std::filesystem::path source;  // absolute, or relative to the configuration's directory made absolute
    std::string target;            // below the launcher's directory, "/"-separated, e.g. "lib/greeting.jar"
};

struct FileAssociation {
    std::string extension;  // without the dot
    std::string description;
    std::optional<std::string> contentType;
    std::optional<std::filesystem::path> icon;  // a .ico file; none: the launcher's icon
};

struct PackageSettings {
    std::optional<std::string> name;     // default: the launcher's caption
    std::string manufacturer;
    std::optional<std::string> version;  // default: the [version] table's product version
    std::string upgradeCode;             // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
    InstallScope scope = InstallScope::PerMachine;
    std::optional<std::filesystem::path> runtime;  // a Windows runtime directory, installed as jre\ .
    bool startMenuShortcut = true;
    bool desktopShortcut = false;
    std::vector<PackageFile> files;
    std::vector<FileAssociation> associations;
};

struct SigningSettings {
    std::filesystem::path certificate;  // a PKCS#12 file
    std::string passwordVariable;       // the environment variable that holds its password
    std::optional<std::string> timestampUrl;
};

// The names of the two tables, which the configuration reader hands to the functions below.
inline constexpr std::string_view kPackageTable = "package";
inline constexpr std::string_view kSigningTable = "signing";

// A problem with a line of the file (0: the table as a whole).
struct TableProblem {
    size_t line;
    std::string text;  // "package.scope: expected ..."
};

// Reads and checks the tables; files are relative to `base`. Problems are appended;
// whatever was read well is returned.
PackageSettings readPackageSettings(const toml::node& table, const std::filesystem::path& base,
                                    std::vector<TableProblem>& problems);
SigningSettings readSigningSettings(const toml::node& table, const std::filesystem::path& base,
                                    std::vector<TableProblem>& problems);

// The rules of single values, shared with the tests. Each throws SettingError saying what
// is wrong, or returns the value as the package stores it.
std::string checkUpgradeCode(std::string_view text);       // a GUID, braces optional, any case
std::string checkProductVersion(std::string_view text);    // "1.2" or "1.2.3", as Windows Installer compares
std::string checkProductName(std::string_view text);       // also a folder's and a shortcut's name
std::string checkExtension(std::string_view text);         // "hello", never ".hello"
std::string checkTarget(std::string_view text);            // "lib/x.jar", "lib\\x.jar": normalised to "/"
std::string checkVariableName(std::string_view text);

// The product version that a [version] product version ("1.2.3.4") gives: its first three
// parts, since Windows Installer ignores a fourth.
std::string productVersionFrom(std::string_view versionResourceText);

}  // namespace kestro::tool::packaging
