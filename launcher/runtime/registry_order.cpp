#include "runtime/registry_order.h"

#include <algorithm>

namespace kestro {

namespace {

// strncmp over the first n bytes, n the shorter length; both texts are long enough.
int comparePrefix(std::string_view name, std::string_view bound) {
    size_t n = std::min(name.size(), bound.size());
    return name.substr(0, n).compare(bound.substr(0, n));
}

}  // namespace

bool keyNameInRange(std::string_view name, std::string_view lowerBound, std::string_view upperBound) {
    if (!lowerBound.empty() && comparePrefix(name, lowerBound) < 0) return false;
    return upperBound.empty() || comparePrefix(name, upperBound) <= 0;
}

bool versionGreater(std::string_view a, std::string_view b) { return a.compare(b) > 0; }

std::vector<std::string> namesToTry(std::vector<std::string> names, std::string_view lowerBound,
                                    std::string_view upperBound) {
    std::erase_if(names, [&](const std::string& n) { return !keyNameInRange(n, lowerBound, upperBound); });
    std::sort(names.begin(), names.end());
    std::reverse(names.begin(), names.end());
    return names;
}

}  // namespace kestro
