#include "instance/single_instance.h"

namespace kestro {

// Instances do not coordinate yet: every start goes on.
void checkSingleInstance(bool, bool) {}

}  // namespace kestro
