// Reading what a launcher run handed the recording VM library: the options it was
// created with, split into the launcher's own properties, the gathered options and the
// class path.
#pragma once

#include <string>
#include <vector>

#include "harness.h"

namespace kestro::e2e {

// The options of the VM's creation, in order.
inline std::vector<std::string> vmOptions(const layout::VmTranscript& t) { return t.values("option "); }

// The options between the launcher's properties (which end with the console code page
// unless MANPATH is set) and the class path.
inline std::vector<std::string> gatheredOptions(const layout::VmTranscript& t) {
    std::vector<std::string> options = vmOptions(t);
    size_t first = 0;
    for (size_t i = 0; i < options.size(); ++i)
        if (options[i].starts_with("-Dkestro.consoleCodepage=")) first = i + 1;
    if (options.empty() || first >= options.size()) return {};
    return std::vector<std::string>(options.begin() + long(first), options.end() - 1);
}

// The list of the class path option, which is always the last option; "(none)" when
// there is no class path option.
inline std::string classPathOf(const layout::VmTranscript& t) {
    std::vector<std::string> options = vmOptions(t);
    const std::string prefix = "-Djava.class.path=";
    if (options.empty() || !options.back().starts_with(prefix)) return "(none)";
    return options.back().substr(prefix.size());
}

// A test whose cases each run on a runtime of their own, so that each transcript holds
// one run.
class VmRunTest : public LauncherTest {
protected:
    // Lays out a runtime in `name`, scripts its VM library and makes it the one found.
    fs::path useRuntime(const std::string& name, const layout::JvmScript& script = {}) {
        fs::path home = layOut(name);
        scriptJvm(home, script);
        set(key::SearchList, "R" + name);
        return home;
    }
};

}  // namespace kestro::e2e
