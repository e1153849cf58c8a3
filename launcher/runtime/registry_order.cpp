#include "runtime/registry_order.h"

#include <algorithm>

#include "common/small_sort.h"
#include "format/version_order.h"

namespace kestro {

bool keyNameInRange(std::string_view name, std::string_view lowerBound, std::string_view upperBound) {
    if (!lowerBound.empty() && compareCommonSegments(name, lowerBound) < 0) return false;
    return upperBound.empty() || compareCommonSegments(name, upperBound) <= 0;
}

bool versionGreater(std::string_view a, std::string_view b) { return compareVersions(a, b) > 0; }

std::vector<std::string> namesToTry(std::vector<std::string> names, std::string_view lowerBound,
                                    std::string_view upperBound, std::string (*comparedAs)(const std::string&)) {
    // One sort for both kinds of name: the registry lists a handful of keys, and a key
    // computed twice per comparison costs less than a second copy of the sort. Names
    // compared as they are are not copied.
    auto outOfRange = [&](const std::string& n) {
        return comparedAs ? !keyNameInRange(comparedAs(n), lowerBound, upperBound)
                          : !keyNameInRange(n, lowerBound, upperBound);
    };
    auto greater = [comparedAs](const std::string& a, const std::string& b) {
        return comparedAs ? versionGreater(comparedAs(a), comparedAs(b)) : versionGreater(a, b);
    };
    std::erase_if(names, outOfRange);
    insertionSort(names.begin(), names.end(), greater);
    return names;
}

}  // namespace kestro
