#include "runtime/passed_over.h"

namespace kestro {

namespace {

std::vector<PassedOver>& recorded() {
    static std::vector<PassedOver> runtimes;
    return runtimes;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The home names a runtime as its user knows it; candidates arrive lower-cased.
std::string placeOf(std::string_view path) {
    for (std::string_view tail : {"\\bin\\java.exe", "\\bin\\javaw.exe"})
        if (endsWith(path, tail)) return std::string(path.substr(0, path.size() - tail.size()));
    return std::string(path);
}

}  // namespace

void notePassedOver(std::string_view javaExeOrHome, std::string_view reason) {
    std::vector<PassedOver>& runtimes = recorded();
    std::string place = placeOf(javaExeOrHome);
    if (runtimes.size() >= kPassedOverShown) return;
    for (const PassedOver& known : runtimes)
        if (known.place == place) return;
    runtimes.push_back({std::move(place), std::string(reason)});
}

const std::vector<PassedOver>& passedOver() { return recorded(); }

std::string passedOverLines(const std::vector<PassedOver>& runtimes) {
    std::string lines;
    for (const PassedOver& runtime : runtimes) {
        lines += '\n';
        lines += runtime.place;
        lines += ": ";
        lines += runtime.reason;
    }
    return lines;
}

}  // namespace kestro
