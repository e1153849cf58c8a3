// The VM options that come from the configuration (key 123), "-J" arguments, the
// locale arguments and vmoptions files, and the three class path directives that
// option lines can set.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "vm/vm_system.h"

namespace kestro {

using VmOptionList = std::vector<std::string>;

// Texts from option lines beginning with "-classpath ", "-classpath/p " and
// "-classpath/a ": a later line replaces an earlier one, they never combine.
struct ClassPathDirectives {
    std::optional<std::string> replacement;
    std::optional<std::string> prefix;
    std::optional<std::string> suffix;
};

// Where option lines go while they are gathered.
struct OptionCollector {
    const VmSystem& system;
    VmOptionList options;
    ClassPathDirectives directives;
    // The normalised paths of the vmoptions files being read, outermost first: an
    // include of one of them would never end.
    std::vector<std::string> filesBeingRead;
};

// An open vmoptions file and the path it was opened by; `file` is null when none.
struct OptionFile {
    std::FILE* file = nullptr;
    std::string path;
};

// The options of key 123 (with their includes), then "-J" arguments when key 125
// allows them, then the locale options of the last "-Dsun.locale.formatasdefault="
// argument. Command-line texts are not expanded.
void collectVmOptions(const std::vector<Utf16>& arguments, OptionCollector& collector);

// Handles one option line: "-include-options <path>" reads that file in place (its
// path relative to the directory of `filePath`, or of the launcher when none), the
// class path directives are recorded, anything else is one VM option taken verbatim.
void addOptionLine(const char* filePath, const std::string& line, OptionCollector& collector);

// Handles every line of `file` and closes it; does nothing without a file. Relative
// includes resolve against the directory of `filePath` (the launcher's when none). A
// file that begins with the UTF-8 byte-order mark, or without one is well-formed UTF-8
// with at least one byte beyond ASCII, is read as UTF-8, each line converted to the
// code page ("?" where it lacks a character, with an error trace line); any other file
// is read in the code page as it is. A UTF-16 file is not read (one error trace line).
void readVmOptionsFile(const char* filePath, OptionFile file, OptionCollector& collector);

// Opens the vmoptions file beside the executable: "<name>.vmoptions" in place of
// "<name>.exe", else "<name>.exe.vmoptions"; only the first that opens is used. The names
// come from the executable's long path, or from its own path when it has none.
OptionFile openDefaultVmOptionsFile(const VmSystem& system);

// Splits an 8-bit text like a command line (see splitCommandLine) and appends the pieces.
void splitOptionText(const std::string& text, std::vector<std::string>& pieces, const VmSystem& system);

// The option line of one piece read from a vmoptions file: trailing line ends and
// then surrounding spaces removed; none for an empty line or a comment ("#" first).
std::optional<std::string> optionLineOf(std::string piece);

// Reads the next piece of a text file: one line with its line end, or, of a longer
// line, its next 8191 bytes. False at the end of the file.
bool readLinePiece(std::FILE* file, std::string& piece);

}  // namespace kestro
