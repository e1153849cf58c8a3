// VM options and program arguments are stored as one text that the launcher splits
// like a command line: only the space separates, a double quote quotes up to the next
// one, a single quote does so only where it opens an argument and another follows, and
// there is no escape character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestro::tool {

// The text that splits back into exactly `arguments`, also after the launcher has
// replaced variable references in it by values holding spaces. Throws SettingError for an
// argument that no quoting can carry (one holding both quote characters), its path
// naming the argument's position ("[2]", counted from 0 like every list position).
std::string joinArguments(const std::vector<std::string>& arguments);

// The launcher's split of `text`.
std::vector<std::string> splitArguments(std::string_view text);

}  // namespace kestro::tool
