// Splitting a command line into arguments, the launcher's own way: only the space
// separates, a double quote quotes, a single quote quotes only where it opens an argument
// and is closed later, and there is no escape character.
#pragma once

#include <vector>

#include "common/text.h"

namespace kestro {

// Appends the arguments of `commandLine` to `arguments`.
void splitCommandLine(Utf16View commandLine, std::vector<Utf16>& arguments);

}  // namespace kestro
