// The command-line switch that turns the trace on and offers to show the trace file.
#pragma once

#include <vector>

#include "common/text.h"

namespace kestro {

// "-create-vlm-log", "-create-kst-log", "/create-vlm-log" or "/create-kst-log", exactly.
bool isLogSwitch(Utf16View argument);

// Removes a log creation switch given as element 1 and requests the trace file. Must run
// before the first trace record.
void checkLogSwitch(std::vector<Utf16>& arguments);

// Whether checkLogSwitch found the switch.
bool logSwitchGiven();

// When the switch was given, asks whether to open an Explorer window on the trace file.
void offerLogExplorer();

}  // namespace kestro
