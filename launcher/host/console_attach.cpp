#include "host/console_attach.h"

namespace kestro {

bool attachedToConsole(bool attached, uint32_t error) { return attached || error == kErrorAccessDenied; }

}  // namespace kestro
