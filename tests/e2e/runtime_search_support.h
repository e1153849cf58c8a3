// Shared pieces of the runtime search tests: stand-in runtimes in the test's folder and
// the texts the search reports.
#pragma once

#include <string>

#include "harness.h"
#include "support/runtime_layout.h"

namespace kestro::e2e {

// A runtime with a loadable VM library in bin\server, unless the layout says otherwise.
inline layout::RuntimeLayout loadableRuntime(const std::string& version = "1.8.0_201") {
    return {.version = version, .vmLibraries = {"bin/server/jvm.dll"}};
}

// The path as the candidate checks normalise it: absolute and lower-cased.
std::string normalised(const fs::path& path);

// The java executable of the runtime at `home`, normalised.
std::string javaOf(const fs::path& home);

// The report of a message as it reaches standard error, with the trace file named.
std::string reported(const RunResult& r, const std::string& text);

// The English texts of the messages the search shows.
std::string noJvmFoundMessage();
std::string variableMessage(const std::string& name);
std::string damagedMessage(const std::string& place);
std::string jvmStartFailedMessage();

class RuntimeSearchTest : public LauncherTest {
protected:
    void SetUp() override;
    fs::path layOut(const std::string& name, const layout::RuntimeLayout& runtime = loadableRuntime());
};

}  // namespace kestro::e2e
