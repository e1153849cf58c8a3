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

std::optional<std::string> versionRejection(std::string_view version, std::string_view lowerBound,
                                            std::string_view upperBound, bool prereleaseAllowed) {
    std::string v(version);
    if (!prereleaseAllowed && isPrereleaseVersion(version)) return "version " + v + " is a pre-release";
    if (passesLowerBound(version, lowerBound) && passesUpperBound(version, upperBound)) return std::nullopt;
    // Short enough for the report of the runtimes passed over, which shows these too.
    std::string lower(lowerBound), upper(upperBound);
    std::string needs = upper.empty()   ? lower + " or later"
                        : lower.empty() ? upper + " or earlier"
                                        : lower + " to " + upper;
    return "version " + v + ", needs " + needs;
}

bool acceptVersion(const std::string& version, const std::string& lowerBound, const std::string& upperBound,
                   bool allowPrerelease, std::string* reason) {
    bool prereleaseAllowed = allowPrerelease || lookupInt(key::AllowPrerelease) != 0;
    std::optional<std::string> refused = versionRejection(version, lowerBound, upperBound, prereleaseAllowed);
    if (refused && !prereleaseAllowed && isPrereleaseVersion(version)) trace("beta vm not allowed");
    if (refused && reason) *reason = *refused;
    return !refused;
}

}  // namespace kestro
