#include "runtime/version_rules.h"

#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "format/version_order.h"

namespace kestro {

bool acceptVersion(const std::string& version, const std::string& lowerBound, const std::string& upperBound,
                   bool allowPrerelease, std::string* reason) {
    bool prereleaseAllowed = allowPrerelease || lookupInt(key::AllowPrerelease) != 0;
    std::optional<std::string> refused = versionRejection(version, lowerBound, upperBound, prereleaseAllowed);
    if (refused && !prereleaseAllowed && isPrereleaseVersion(version)) trace("beta vm not allowed");
    if (refused && reason) *reason = *refused;
    return !refused;
}

}  // namespace kestro
