// The runtime search list (key 128): ";"-separated entries, each a kind letter and a
// value, and the small path rules of the runtime search.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestro {

struct SearchEntry {
    char kind = '\0';   // A, B, R (directory), E (variable), S (search path), Y (registry)
    std::string value;  // the text after the letter
};

// Every entry of the list, in order; empty entries do not exist.
std::vector<SearchEntry> parseSearchList(std::string_view list);

// A value is relative unless it has two characters or more and either its second
// character is ":" or it begins with two backslashes.
bool isRelativeSearchValue(std::string_view value);

// Directory entries tried again, as written, when the main pass found nothing: B
// always, A and R only with a relative value.
bool triedInFallbackPass(const SearchEntry& entry);

// The java executable's bin directory: the path less its last component ("javaw.exe"
// when it ends in exactly that, else "java.exe") and the backslash before it.
std::string javaBinDirectory(std::string_view javaExe);

// The runtime's home written through its bin directory: the path less its last
// component, keeping the backslash, followed by "..".
std::string runtimeHomeOf(std::string_view javaExe);

// The embedded runtime's java executable of a JDK: "..\jre\bin\java.exe" relative to
// the directory of `javaExe`.
std::string embeddedRuntimeJava(std::string_view javaExe);

// Where "java.exe" is looked for on the search path, in order: the launcher's directory,
// the system directories, then each directory of `path` (";"-separated, enclosing double
// quotes removed) that is absolute. Never the current directory: neither by itself nor
// through a relative PATH entry, which names a directory below it.
std::vector<std::string> javaSearchDirectories(std::string_view launcherDirectory,
                                               const std::vector<std::string>& systemDirectories,
                                               std::string_view path);

// A hint file's line without its trailing carriage returns and line feeds.
std::string withoutLineEnd(std::string line);

}  // namespace kestro
