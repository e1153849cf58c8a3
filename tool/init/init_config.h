// The starting configuration that kestro init writes: what it takes from a jar, and the
// file as sections of settings and comments, so that a later addition is one more
// section (or line) rather than a change of the text around it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kestro::tool::init {

// What a jar says about the application; everything absent without a jar.
struct JarFacts {
    std::string jar;  // as the configuration names it, relative to the file ("app.jar")
    std::optional<std::string> mainClass;
    std::vector<std::string> classPath;  // Windows paths relative to the launcher ("lib\a.jar")
    std::optional<std::string> name, version;
};

// From a manifest's main attributes: Main-Class; Class-Path (its relative URLs, "%20"
// and the like decoded, "/" as "\"; absolute ones and directories left out); the name
// from Implementation-Title, else Bundle-Name, else the jar's stem; the version from
// Implementation-Version, else Bundle-Version.
JarFacts factsFromManifest(const std::string& jar, const std::map<std::string, std::string>& attributes);

// One line of the file: a setting ("name = value"), commented out when it is only a
// suggestion, with a comment of its own; or a comment line alone when `setting` is empty.
struct InitLine {
    std::string setting;
    std::string comment;
    bool suggestion = false;
};

struct InitSection {
    std::string table;  // "application"; "[[files]]" tables as "[files]"; "" before the first table
    std::vector<InitLine> lines;
    bool arrayOfTables = false;
};

// The sections of the starting configuration for `facts`; `upgradeCode` is the GUID of
// the [package] table, which the user keeps for every version of the application.
std::vector<InitSection> initSections(const JarFacts& facts, const std::string& upgradeCode);

// A new random GUID (version 4), in lower case, for a package's upgrade code.
std::string freshGuid();

// The sections as TOML text, a blank line between them.
std::string renderSections(const std::vector<InitSection>& sections);

// A version text as the three or four numbers that version.file_version needs: its
// leading numbers ("1.0-SNAPSHOT" gives "1.0.0"), none when it begins with none or a
// number is over 65535.
std::optional<std::string> versionNumbers(const std::string& version);

}  // namespace kestro::tool::init
