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
    const char* side = !passesLowerBound(version, lowerBound)   ? "below the minimum"
                       : !passesUpperBound(version, upperBound) ? "above the maximum"
                                                                : nullptr;
    if (!side) return std::nullopt;
    auto shown = [](std::string_view bound) { return bound.empty() ? std::string("none") : std::string(bound); };
    return "version " + v + " is " + side + " (minimum " + shown(lowerBound) + ", maximum " + shown(upperBound) + ")";
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
