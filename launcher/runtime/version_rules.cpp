#include "runtime/version_rules.h"

#include <cstdint>

#include "config/config_tables.h"
#include "diagnostics/trace.h"

namespace kestro {

int compareVersionPrefix(std::string_view version, std::string_view bound, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        unsigned a = i < version.size() ? uint8_t(version[i]) : 0u;
        unsigned b = i < bound.size() ? uint8_t(bound[i]) : 0u;
        if (a != b) return a < b ? -1 : 1;
        if (a == 0) break;
    }
    return 0;
}

bool passesLowerBound(std::string_view version, std::string_view lowerBound) {
    return lowerBound.empty() || compareVersionPrefix(version, lowerBound, lowerBound.size()) >= 0;
}

bool passesUpperBound(std::string_view version, std::string_view upperBound) {
    return upperBound.empty() || compareVersionPrefix(version, upperBound, upperBound.size()) <= 0;
}

bool isPrereleaseVersion(std::string_view version) {
    for (std::string_view marker : {"beta", "ea", "rc"})
        if (version.find(marker) != std::string_view::npos) return true;
    return false;
}

bool acceptVersion(const std::string& version, const std::string& lowerBound, const std::string& upperBound,
                   bool allowPrerelease) {
    if (!allowPrerelease && lookupInt(key::AllowPrerelease) == 0 && isPrereleaseVersion(version)) {
        trace("beta vm not allowed");
        return false;
    }
    return passesLowerBound(version, lowerBound) && passesUpperBound(version, upperBound);
}

}  // namespace kestro
