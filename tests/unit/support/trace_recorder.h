// The launcher's trace, recorded in memory for native tests of portable code.
#pragma once

#include <string>
#include <vector>

namespace kestro::testing {

std::vector<std::string>& tracedLines();
inline void clearTrace() { tracedLines().clear(); }
// Set by requestLogCreation.
bool& logCreationRequested();

}  // namespace kestro::testing
