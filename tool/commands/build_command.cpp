#include <algorithm>
#include <functional>
#include <ostream>
#include <stdexcept>

#include "format/block_writer.h"
#include "format/config_keys.h"
#include "format/native_file.h"
#include "tool/commands/commands.h"
#include "tool/commands/progress_bar.h"
#include "tool/config/config_loader.h"
#include "tool/package/signing.h"
#include "tool/platform/program.h"
#include "tool/text/code_page.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

// The stub and the runtime libraries are installed beside the kestro program.
fs::path besideTool(const std::string& name) { return programDirectory() / name; }

// Every launcher stub, and so every launcher built from one, names the runtime library's
// launcher class that it calls; no other program does. Looking for it costs one pass
// over an image already in memory. The text is put together at run time, so that
// kestro's own image does not carry it and is refused like any other program.
std::string stubMark() {
    std::string mark = "com/kestro/runtime/";
    return mark + "WinLauncher";
}

format::Stub loadStub(const BuildRequest& request) {
    fs::path path = request.stub.value_or(besideTool("launcher.exe"));
    std::error_code ec;
    if (!request.stub && !fs::exists(path, ec))
        throw std::runtime_error("no launcher stub beside kestro (looked for " + format::pathText(path) + "); give one with --stub");
    format::Stub stub;
    std::string error;
    if (!format::loadStub(path, stub, error)) throw std::runtime_error(error);
    const std::string mark = stubMark();
    const auto& image = stub.image;
    if (std::search(image.begin(), image.end(), std::boyer_moore_horspool_searcher(mark.begin(), mark.end())) ==
        image.end())
        throw std::runtime_error("stub " + format::pathText(path) + " is a Windows executable, but not a Kestro launcher "
                                 "stub nor a launcher built from one; give launcher.exe from kestro's directory, or "
                                 "leave --stub out");
    return stub;
}

uint64_t includedBytes(const std::vector<format::IncludedFile>& files) {
    uint64_t total = 0;
    std::error_code ec;
    for (const auto& f : files) total += fs::file_size(f.source, ec);
    return total;
}

std::string storedText(const BuildPlan& plan, format::ConfigKey key) {
    auto it = std::ranges::find(plan.head.strings, key, &format::StringEntry::key);
    return it == plan.head.strings.end() ? std::string() : it->value;
}

// Where a velmora launcher looks for its runtime library, below the output's directory:
// the application directory (relative to the launcher), then .velmora/vlmruntime.jar.
// Throws when the launcher would look elsewhere.
fs::path velmoraRuntimeTarget(const BuildPlan& plan, const fs::path& output, CodePage cp) {
    if (storedText(plan, key::Flavour).substr(0, 1) != "v")
        throw std::runtime_error("--write-runtime-jar writes the velmora flavour's vlmruntime.jar, but this launcher "
                                 "is of the kestro flavour, which carries its runtime library inside (see "
                                 "build.include_runtime_library)");
    std::string directory = fromCodePage(storedText(plan, key::ApplicationDirectory), cp).value_or("");
    if (directory.starts_with('\\') || directory.starts_with('/') || directory.find(':') != std::string::npos)
        throw std::runtime_error("--write-runtime-jar writes below the launcher's directory, but "
                                 "application.directory \"" + directory + "\" is not relative to it");
    std::ranges::replace(directory, '\\', '/');
    return (output.parent_path() / format::pathFromUtf8(directory) / ".velmora" / "vlmruntime.jar").lexically_normal();
}

// Copied through a temporary file beside the target, so that a failed copy leaves no
// partial jar where the launcher would load it.
void writeRuntimeJar(const fs::path& jar, const fs::path& target) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    fs::path partial = target;
    partial += ".partial";
    if (!ec) fs::copy_file(jar, partial, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(partial, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        throw std::runtime_error("cannot write " + format::pathText(target) + ": " + ec.message());
    }
}

// The output's directories that do not exist yet, created for the build (-o dist/App.exe
// in a fresh checkout) and removed again, innermost first, unless the build keeps them:
// a failed build leaves nothing behind.
class OutputDirectories {
public:
    explicit OutputDirectories(const fs::path& output) {
        fs::path dir = output.parent_path();
        std::error_code ec;
        for (fs::path d = dir; !d.empty() && !fs::exists(fs::symlink_status(d, ec)); d = d.parent_path()) {
            created_.push_back(d);
            if (d == d.parent_path()) break;
        }
        if (!dir.empty() && created_.empty() && !fs::is_directory(dir, ec))
            throw std::runtime_error("cannot write " + format::pathText(output) + ": " + format::pathText(dir) +
                                     " is not a directory");
        if (!created_.empty() && !fs::create_directories(dir, ec) && ec) {
            removeCreated();
            throw std::runtime_error("cannot write " + format::pathText(output) + ": cannot create its directory " +
                                     format::pathText(dir) + ": " + ec.message());
        }
    }
    OutputDirectories(const OutputDirectories&) = delete;
    OutputDirectories& operator=(const OutputDirectories&) = delete;
    ~OutputDirectories() { removeCreated(); }
    void keep() { created_.clear(); }

private:
    void removeCreated() {
        std::error_code ec;
        for (const fs::path& d : created_) fs::remove(d, ec);  // only while empty
        created_.clear();
    }
    std::vector<fs::path> created_;  // innermost first
};

}  // namespace

void buildLauncher(const BuildRequest& request, std::ostream& out, std::ostream& err) {
    BuildPlan plan = loadConfiguration(
        request.config, {.runtimeLibrary = besideTool(std::string(kRuntimeLibraryName)),
                         .output = request.output,
                         .defaults = request.defaults.value_or(fs::path())});
    for (const auto& warning : plan.warnings) err << warning << "\n";
    nameCaption(plan, request.output);
    format::Stub stub = loadStub(request);
    format::setSubsystem(stub, plan.subsystem);
    std::vector<format::Resource> resources = resources::resolveResources(plan.resourceRequest, request.output);
    resources.insert(resources.end(), plan.resources.begin(), plan.resources.end());
    std::string error;
    if (!format::setResources(stub, resources, error))
        throw std::runtime_error("cannot add the resources to the stub: " + error);
    fs::path velmoraJar = besideTool("vlmruntime.jar"), velmoraTarget;
    if (request.writeRuntimeJar) {
        velmoraTarget = velmoraRuntimeTarget(plan, request.output, plan.codePage);
        std::error_code ec;
        if (!fs::is_regular_file(velmoraJar, ec))
            throw std::runtime_error("the velmora runtime library is not beside kestro (looked for " +
                                     format::pathText(velmoraJar) + ")");
    }

    {
        OutputDirectories directories(request.output);
        ProgressBar bar(request.quiet ? 0 : includedBytes(plan.files));
        if (!format::writeLauncher(stub, plan.head, plan.files, request.output, error,
                                   [&bar](uint64_t done, uint64_t) { bar.update(done); }))
            throw std::runtime_error(error);
        if (plan.signing) {
            // A launcher that should have been signed and was not is no launcher to ship.
            try {
                packaging::signFile(request.output, *plan.signing);
            } catch (...) {
                std::error_code ec;
                fs::remove(request.output, ec);
                throw;
            }
        }
        directories.keep();
    }
    if (request.writeRuntimeJar) writeRuntimeJar(velmoraJar, velmoraTarget);
    if (request.quiet) return;
    std::error_code ec;
    uint64_t size = fs::file_size(request.output, ec);
    auto count = [](size_t n, const std::string& what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); };
    out << "wrote " << format::pathText(request.output) << " (" << size << " bytes; " << count(plan.head.strings.size(), "setting")
        << ", " << count(plan.files.size(), "included file")
        << (resources.empty() ? "" : ", " + count(resources.size(), "resource")) << ")\n";
    if (request.writeRuntimeJar)
        out << "wrote " << format::pathText(velmoraTarget) << " (" << fs::file_size(velmoraTarget, ec) << " bytes)\n";
}

}  // namespace kestro::tool
