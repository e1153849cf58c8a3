#include "runtime/load_dll.h"

namespace kestro {

// The runtime search is not built yet; the start goes on without a runtime.
bool LoadDLL() { return true; }

}  // namespace kestro
