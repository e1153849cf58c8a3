#include "tool/package/msi_build.h"

#include <stdexcept>

#include "format/native_file.h"
#include "tool/package/host_tools.h"
#include "tool/platform/host_process.h"

namespace kestro::tool::packaging {

bool compilesPackages() { return true; }

void compilePackage(const std::filesystem::path& wxs, const std::filesystem::path& msi) {
    run::HostQueries host{environmentVariable, isProgram};
    std::filesystem::path wixl = findHostTool("wixl", "wixl", "kestro package", host);
    CapturedRun result = captureProgram(wixl, wixlArguments(wxs, msi), {});
    std::error_code ec;
    if (result.exitCode != 0 || !std::filesystem::is_regular_file(msi, ec))
        throw std::runtime_error("wixl could not build " + format::pathText(msi) + " from " + format::pathText(wxs) +
                                 ":\n" + result.output);
}

}  // namespace kestro::tool::packaging
