#include "runtime/runtime_home.h"

namespace kestro {

std::string& runtimeHome() {
    static std::string home;
    return home;
}

}  // namespace kestro
