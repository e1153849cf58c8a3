#include <windows.h>

#include "startup/exit.h"
#include "workfiles/run_directory.h"

namespace kestro {

void exitLauncher(uint32_t code) {
    removeOwnRunDirectory();
    ExitProcess(code);
}

}  // namespace kestro
