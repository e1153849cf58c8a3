// What the tool knows about the values of a few settings beyond their form: which ones
// the launcher cannot use (refused) and which it takes but almost certainly not as
// meant (warned about, the build goes on).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestro::tool {

// application.type: the launcher knows 1 ("gui"), 2 ("console") and 5 (a console
// runtime that keeps the error message boxes); 0, 3 and 4 act as 2 and are warned
// about; anything negative or above 5 is refused (throws SettingError).
void checkApplicationType(int32_t type);
std::optional<std::string> applicationTypeWarning(int32_t type);

// application.main_class: a file name or path ("com/acme/Main.class", "app.jar"),
// spaces, or empty parts between dots are refused (throws SettingError, suggesting the
// dotted name where there is one). Parts that are not Java identifiers, and an empty
// name, are warned about.
void checkMainClass(std::string_view name);
std::optional<std::string> mainClassWarning(std::string_view name);

// application.main_module: a module name ("com.example.app"), or one with its main class
// after "/" ("com.example.app/com.example.app.Main"); each a dotted name of Java
// identifiers. Anything else is refused (throws SettingError).
void checkMainModule(std::string_view text);

// java.min_version / java.max_version: a text that is no version is refused (throws
// SettingError). "1.9" and above are warned about, since Java 9 and later number
// themselves "9", "10", ...
void checkVersionBound(std::string_view bound);
std::optional<std::string> versionBoundWarning(std::string_view bound);

// True when no version can be both at least `min` and at most `max`.
bool versionBoundsExclude(std::string_view min, std::string_view max);

// vm.options, as the launcher splits it: pieces it takes other than the user almost
// surely meant. A class path directive ("-classpath ...", "-classpath/p ...",
// "-classpath/a ...") acts only as one piece, directive and value together; an include
// needs its file after it; the launcher's own class path option comes after every
// other, so "-Djava.class.path=" in the options does nothing; and "-cp" is no directive
// at all; and a piece that does not begin with "-" is no VM option, most often the rest
// of a value that a space split off ("stray"). Each warning names the index of the
// piece it is about.
struct PieceWarning {
    size_t index;
    std::string text;
    bool stray = false;
};
std::vector<PieceWarning> vmOptionWarnings(const std::vector<std::string>& pieces);

}  // namespace kestro::tool
