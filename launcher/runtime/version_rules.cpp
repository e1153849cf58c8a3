#include "runtime/version_rules.h"

#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "format/version_order.h"

namespace kestro {

bool passesLowerBound(std::string_view version, std::string_view lowerBound) {
    return lowerBound.empty() || compareWithBound(version, lowerBound) >= 0;
}

bool passesUpperBound(std::string_view version, std::string_view upperBound) {
    return upperBound.empty() || compareWithBound(version, upperBound) <= 0;
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
