#include "vm/module_options.h"

#include "common/text.h"

namespace kestro {

std::string_view moduleMainClass(std::string_view mainModule) {
    size_t slash = mainModule.find('/');
    return slash == std::string_view::npos ? std::string_view() : mainModule.substr(slash + 1);
}

void appendModuleOptions(std::string_view mainModule, std::string_view modulePath, const VmSystem& system,
                         std::vector<std::string>& options) {
    if (mainModule.empty()) return;
    // The option the java command itself gives the VM: HotSpot takes "-Djdk.module.path"
    // for a name of its own and drops it with a warning.
    std::string paths = "--module-path=";
    const size_t none = paths.size();
    // A variable may bring several paths; an empty element would be the current directory.
    for (std::string entry : splitList(modulePath)) {
        system.expand(entry);
        for (const std::string& path : splitList(entry)) {
            if (paths.size() > none) paths += ';';
            paths += system.resolve(path, nullptr);
        }
    }
    if (paths.size() > none) options.push_back(std::move(paths));
    std::string root = "-Djdk.module.main=";
    root += mainModule.substr(0, mainModule.find('/'));
    options.push_back(std::move(root));
    // The library (unnamed module) opens the application's package to itself through
    // jdk.internal.module.Modules; the java command calls main through JNI instead,
    // which checks no access.
    options.push_back("--add-exports=java.base/jdk.internal.module=ALL-UNNAMED");
}

}  // namespace kestro
