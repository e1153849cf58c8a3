// The program's entry on Linux: the command line is already UTF-8 text.
#include <filesystem>

#include "tool/commands/command_line.h"
#include "tool/platform/program.h"

namespace kestro::tool {

std::filesystem::path programDirectory() {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self.parent_path();
}

}  // namespace kestro::tool

int main(int argc, char** argv) { return kestro::tool::runKestro(argc, argv); }
