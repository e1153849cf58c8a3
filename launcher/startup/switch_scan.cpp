#include "startup/switch_scan.h"

namespace kestro {

bool scanSwitches(const std::vector<Utf16>& arguments, bool quietSwitches, const SwitchActions& actions) {
    for (const Utf16& argument : arguments) {
        if (quietSwitches && argument == u"-q") {
            actions.disableErrorBoxes();
        } else if (argument == u"-console") {
            (void)actions.openConsole();
        } else if (quietSwitches && argument == u"-c") {
            actions.disableErrorBoxes();
            return actions.openConsole();
        }
    }
    return true;
}

}  // namespace kestro
