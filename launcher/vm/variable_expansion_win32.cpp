#include "vm/variable_expansion.h"

namespace kestro {

// No variables are known yet; texts stay as configured.
void expandVariables(std::string&) {}

}  // namespace kestro
