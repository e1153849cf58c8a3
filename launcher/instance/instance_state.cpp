#include "instance/single_instance.h"

namespace kestro {

std::string& instanceSemaphoreName() {
    static std::string name;
    return name;
}

}  // namespace kestro
