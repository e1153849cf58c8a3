#include "tool/platform/program.h"

namespace kestro::tool {

std::filesystem::path programDirectory() {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self.parent_path();
}

}  // namespace kestro::tool
