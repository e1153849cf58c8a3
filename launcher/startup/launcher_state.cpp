#include "startup/launcher_state.h"

namespace kestro {

LauncherState& launcherState() {
    static LauncherState s;
    return s;
}

const char* productWord() { return launcherState().launcherFlavour == 'k' ? "kestro" : "velmora"; }

bool velmoraMode() { return launcherState().launcherFlavour == 'v'; }

}  // namespace kestro
