#include <algorithm>
#include <fstream>
#include <ostream>
#include <random>
#include <stdexcept>

#include "format/config_keys.h"
#include "format/native_file.h"
#include "tool/commands/commands.h"
#include "tool/config/config_loader.h"
#include "tool/package/msi_build.h"
#include "tool/package/package_layout.h"
#include "tool/package/signing.h"
#include "tool/package/wix_source.h"
#include "tool/platform/program.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

// A directory of this run's own for the launcher and the source that go into the
// package, removed with everything in it.
class StagingDirectory {
public:
    StagingDirectory() {
        std::random_device random;
        fs::path base = fs::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            fs::path candidate = base / ("kestro-package-" + std::to_string(random()));
            std::error_code ec;
            if (fs::create_directory(candidate, ec)) path_ = candidate;
        }
        if (path_.empty()) throw std::runtime_error("cannot create a working directory in " + format::pathText(base));
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::replace);
    }
    ~StagingDirectory() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    StagingDirectory(const StagingDirectory&) = delete;
    StagingDirectory& operator=(const StagingDirectory&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string stored(const BuildPlan& plan, format::ConfigKey key) {
    auto it = std::ranges::find(plan.head.strings, key, &format::StringEntry::key);
    return it == plan.head.strings.end() ? std::string() : it->value;
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file.flush()) throw std::runtime_error("cannot write " + format::pathText(path));
}

}  // namespace

void packageApplication(const PackageRequest& request, std::ostream& out, std::ostream& err) {
    BuildInputs inputs;
    inputs.defaults = request.defaults.value_or(fs::path());
    BuildPlan plan = loadConfiguration(request.config, inputs);
    if (!plan.package)
        throw std::runtime_error(format::pathText(request.config) +
                                 " has no [package] table: it says what goes into the package (see docs/packaging.md)");
    bool wxsOnly = request.wxsOnly || !packaging::compilesPackages();
    std::string stem = format::pathText(request.output.stem());
    std::optional<StagingDirectory> staging;
    if (!wxsOnly) staging.emplace();
    fs::path place = wxsOnly ? request.output.parent_path() : staging->path();
    fs::path launcher = place / format::pathFromUtf8(stem + ".exe");
    fs::path wxs = place / format::pathFromUtf8(stem + ".wxs");

    // The launcher as kestro build writes it, signed there when [signing] says so.
    buildLauncher({.config = request.config, .output = launcher, .stub = request.stub, .quiet = true,
                   .defaults = request.defaults}, out, err);
    nameCaption(plan, launcher);
    packaging::LauncherFacts facts{
        fs::absolute(launcher), fromCodePage(stored(plan, msg::Caption), plan.codePage).value_or(""),
        resources::resolveVersion(plan.resourceRequest.version, launcher).strings.productVersion};
    packaging::PackageLayout layout = packaging::planPackage(*plan.package, facts);
    layout.sourceBase = fs::absolute(place);
    writeText(wxs, packaging::wixSource(layout));

    std::string files = std::to_string(layout.files.size() + 1) + (layout.files.empty() ? " file" : " files");
    if (wxsOnly) {
        if (request.quiet) return;
        // Files of a per-user package are the key paths of their components, as wixl writes
        // them; light's checks for roaming profiles want registry values instead.
        std::string perUserChecks =
            layout.scope == packaging::InstallScope::PerUser ? " -sice:ICE38 -sice:ICE64 -sice:ICE91" : "";
        out << "wrote " << format::pathText(wxs) << " and " << format::pathText(launcher) << " (" << files << " to install)\n"
            << "Build the package with the WiX Toolset, in " << format::pathText(fs::absolute(place)) << ":\n"
            << "  WiX 3:           candle -arch x64 " << stem << ".wxs, then light " << stem << ".wixobj -o "
            << stem << ".msi" << perUserChecks << "\n"
            << "  WiX 4 and later: wix convert " << stem << ".wxs, then wix build -arch x64 " << stem << ".wxs -o "
            << stem << ".msi\n";
        if (plan.signing) out << "then sign " << format::pathText(request.output) << " with signtool\n";
        return;
    }
    // Built beside the output under a name of its own, so that a failure leaves no package.
    fs::path partial = request.output;
    partial += ".partial";
    std::error_code ec;
    if (!request.output.parent_path().empty()) fs::create_directories(request.output.parent_path(), ec);
    try {
        packaging::compilePackage(wxs, partial);
        if (plan.signing) packaging::signFile(partial, *plan.signing);
        fs::rename(partial, request.output, ec);
        if (ec) throw std::runtime_error("cannot write " + format::pathText(request.output) + ": " + ec.message());
    } catch (...) {
        fs::remove(partial, ec);
        throw;
    }
    if (request.quiet) return;
    out << "wrote " << format::pathText(request.output) << " (" << fs::file_size(request.output, ec) << " bytes; "
        << layout.name << " " << layout.version << ", " << files
        << (plan.signing ? ", signed" : "") << ")\n";
}

}  // namespace kestro::tool
