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
    // computed twice per comparison costs less than a second copy of the sort.
    auto key = [comparedAs](const std::string& name) { return comparedAs ? comparedAs(name) : name; };
    std::erase_if(names, [&](const std::string& n) { return !keyNameInRange(key(n), lowerBound, upperBound); });
    insertionSort(names.begin(), names.end(),
                  [&](const std::string& a, const std::string& b) { return versionGreater(key(a), key(b)); });
    return names;
}

}  // namespace kestro
