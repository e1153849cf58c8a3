#pragma once

#include <vector>

#include "common/text.h"

namespace kestro {

// Creates the VM and calls main of the Java launcher class; true when main returned
// normally.
bool launchProgram(const std::vector<Utf16>& arguments, bool destroyVm);

}  // namespace kestro
