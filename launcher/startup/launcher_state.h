// Process-wide values of the start-up sequence.
#pragma once

#include <vector>

#include "common/text.h"

namespace kestro {

struct LauncherState {
    std::vector<Utf16> commandLineArguments;  // element 0 is the executable as written
    bool langRestart = false;                 // started with the language-restart command line
    char launcherFlavour = '\0';              // first character of key 2001
};

LauncherState& launcherState();

// "kestro" for the flavour "k", "velmora" for every other.
const char* productWord();
// The flavour "v" selects the velmora mode of the class path and the VM start.
bool velmoraMode();

}  // namespace kestro
