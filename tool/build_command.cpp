#include <ostream>
#include <stdexcept>

#include "format/block_writer.h"
#include "tool/commands.h"
#include "tool/config_loader.h"
#include "tool/progress_bar.h"

namespace kestro::tool {

namespace fs = std::filesystem;

namespace {

fs::path defaultStub() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (ec ? fs::path() : self.parent_path()) / "launcher.exe";
}

format::Stub loadStub(const BuildRequest& request) {
    fs::path path = request.stub.value_or(defaultStub());
    std::error_code ec;
    if (!request.stub && !fs::exists(path, ec))
        throw std::runtime_error("no launcher stub beside kestro (looked for " + path.string() + "); give one with --stub");
    format::Stub stub;
    std::string error;
    if (!format::loadStub(path, stub, error)) throw std::runtime_error(error);
    return stub;
}

uint64_t includedBytes(const std::vector<format::IncludedFile>& files) {
    uint64_t total = 0;
    std::error_code ec;
    for (const auto& f : files) total += fs::file_size(f.source, ec);
    return total;
}

}  // namespace

void buildLauncher(const BuildRequest& request, std::ostream& out, std::ostream& err) {
    BuildPlan plan = loadConfiguration(request.config);
    for (const auto& warning : plan.warnings) err << warning << "\n";
    format::Stub stub = loadStub(request);

    std::string error;
    {
        ProgressBar bar(request.quiet ? 0 : includedBytes(plan.files));
        if (!format::writeLauncher(stub, plan.head, plan.files, request.output, error,
                                   [&bar](uint64_t done, uint64_t) { bar.update(done); }))
            throw std::runtime_error(error);
    }
    if (request.quiet) return;
    std::error_code ec;
    uint64_t size = fs::file_size(request.output, ec);
    auto count = [](size_t n, const std::string& what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); };
    out << "wrote " << request.output.string() << " (" << size << " bytes; " << count(plan.head.strings.size(), "setting")
        << ", " << count(plan.files.size(), "included file") << ")\n";
}

}  // namespace kestro::tool
