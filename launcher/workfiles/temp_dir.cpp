#include "workfiles/temp_dir.h"

namespace kestro {

std::string& tempDirPath() {
    static std::string path;
    return path;
}

}  // namespace kestro
