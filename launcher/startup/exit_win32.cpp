#include <windows.h>

#include "startup/exit.h"
#include "workfiles/included_files.h"
#include "workfiles/temp_dir.h"

namespace kestro {

void exitLauncher(uint32_t code) {
    const std::string& dir = tempDirPath();
    if (!dir.empty()) {
        emptyDirectory(dir, true);
        RemoveDirectoryA(dir.c_str());
    }
    ExitProcess(code);
}

}  // namespace kestro
