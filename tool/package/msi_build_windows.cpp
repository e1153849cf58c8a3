#include "tool/package/msi_build.h"

#include <stdexcept>

namespace kestro::tool::packaging {

bool compilesPackages() { return false; }

void compilePackage(const std::filesystem::path&, const std::filesystem::path&) {
    throw std::logic_error("the Windows tool writes WiX sources only");
}

}  // namespace kestro::tool::packaging
