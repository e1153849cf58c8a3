#include "workfiles/included_names.h"

#include "common/text.h"
#include "format/device_names.h"

namespace kestro {

namespace {

// ".." and its variants ("...", ".. ") all lead upwards once Windows has trimmed the
// trailing dots and spaces of a component.
bool namesParent(std::string_view component) {
    size_t dots = 0;
    for (char c : component) {
        if (c == '.') ++dots;
        else if (c != ' ') return false;
    }
    return dots >= 2;
}

// Calls `test` on each component between separators (backslash or slash); true when
// one passes.
template <class Test>
bool anyComponent(std::string_view name, Test test) {
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = name.size();
        if (test(name.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::vector<std::string> includedFileNames(std::string_view list, int32_t count) {
    std::vector<std::string> names = splitList(list);
    size_t limit = count > 0 ? size_t(count) : 0;
    if (names.size() > limit) names.erase(names.begin() + std::ptrdiff_t(limit), names.end());
    return names;
}

bool isSafeIncludedName(std::string_view name) {
    if (name.empty() || name[0] == '\\' || name[0] == '/') return false;
    if (name.find(':') != std::string_view::npos) return false;
    return !anyComponent(name, namesParent) && !namesDevice(name);
}

bool namesDevice(std::string_view name) { return anyComponent(name, format::isDeviceName); }

std::string includedNameDirectory(std::string_view name) {
    size_t cut = name.find('\\');
    return cut == std::string_view::npos ? std::string() : std::string(name.substr(0, cut));
}

bool isRuntimeLibraryName(std::string_view name) {
    return name.size() == kRuntimeLibraryName.size() && endsWithIgnoringCase(name, kRuntimeLibraryName);
}

std::string runtimeLibraryCacheName(std::string_view bytes) {
    uint64_t hash = fnv1a64(bytes);
    std::string name = "kestro-runtime-";
    for (int shift = 60; shift >= 0; shift -= 4) name += "0123456789abcdef"[(hash >> shift) & 0xF];
    name += ".jar";
    return name;
}

bool isRuntimeLibraryCacheName(std::string_view name) {
    constexpr std::string_view head = "kestro-runtime-";
    if (name.size() != head.size() + 16 + 4 || !endsWithIgnoringCase(name, ".jar") ||
        !endsWithIgnoringCase(name.substr(0, head.size()), head))
        return false;
    for (char c : name.substr(head.size(), 16))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

}  // namespace kestro
