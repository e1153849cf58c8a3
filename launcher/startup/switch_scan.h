// The scan for the quiet and console switches, apart from what each switch does.
#pragma once

#include <vector>

#include "common/text.h"

namespace kestro {

struct SwitchActions {
    void (*disableErrorBoxes)();
    bool (*openConsole)();  // true when the process has a console afterwards
};

// Examines every argument, element 0 included, by exact comparison: "-q" (only with
// `quietSwitches`) switches boxes off; "-console" opens a console, whatever comes of
// it; "-c" (only with `quietSwitches`) does both and ends the scan. False when the
// console of a "-c" could not be had, which ends the start.
[[nodiscard]] bool scanSwitches(const std::vector<Utf16>& arguments, bool quietSwitches, const SwitchActions& actions);

}  // namespace kestro
