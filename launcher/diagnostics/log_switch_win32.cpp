#include "diagnostics/log_switch.h"

namespace kestro {

// The log creation switch is not recognised yet; only the environment turns tracing on.
void checkLogSwitch(std::vector<Utf16>&) {}
void offerLogExplorer() {}

}  // namespace kestro
