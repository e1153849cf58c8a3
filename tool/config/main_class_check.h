// Whether the application's main class is in the archives that the build can see: the
// included files and the class path's archives and directories that are there already.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestro::tool {

// One place the VM will look for classes: its entries' names as they are stored
// ("com/example/App.class").
struct ClassSource {
    std::string name;  // for messages, as the configuration names it
    std::vector<std::string> entries;
};

struct MainClassSearch {
    bool found = false;
    // When not found: the nearest class of all sources (dotted, a nested class with "$"),
    // by the rules of closestName on the whole name, else on the class's own name
    // without its package ("App" for "com.example.App"); the first source wins a tie.
    std::optional<std::string> nearest;
};

// Looks for `mainClass` (dotted, or with "/", as the runtime library accepts it).
MainClassSearch findMainClass(std::string_view mainClass, const std::vector<ClassSource>& sources);

}  // namespace kestro::tool
