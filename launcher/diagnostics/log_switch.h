// The command-line switch that turns the trace on and offers to show the trace file.
#pragma once

#include <vector>

#include "common/text.h"

namespace kestro {

// Removes a log creation switch given as element 1 and requests the trace file.
void checkLogSwitch(std::vector<Utf16>& arguments);

// When the switch was given, asks whether to open an Explorer window on the trace file.
void offerLogExplorer();

}  // namespace kestro
