// kestro init: a starting configuration file, from a jar's manifest when one is named.
#include <cstdio>
#include <ostream>
#include <stdexcept>

#include "format/native_file.h"
#include "tool/commands/commands.h"
#include "tool/init/init_config.h"
#include "tool/init/jar_manifest.h"

namespace kestro::tool {

namespace fs = std::filesystem;

void writeInitialConfig(const InitRequest& request, std::ostream& out) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(request.output, ec)))
        throw std::runtime_error(format::pathText(request.output) +
                                 " exists; kestro init never overwrites a file: remove it, or name another with -o");
    init::JarFacts facts;
    if (request.jar) {
        std::error_code sizeError;
        uint64_t size = fs::file_size(*request.jar, sizeError);
        format::UniqueFile in = sizeError ? nullptr : format::openForReading(*request.jar);
        if (!in) throw std::runtime_error("cannot read " + format::pathText(*request.jar));
        // Only the directory and the manifest are read, however large the jar.
        std::string manifest;
        try {
            manifest = init::manifestOf(size, fileReader(in.get()));
        } catch (const std::runtime_error& e) {
            throw std::runtime_error(format::pathText(*request.jar) + " is " + e.what());
        }
        // The configuration names the jar relative to itself, as kestro build reads it.
        fs::path base = fs::absolute(request.output).parent_path();
        fs::path relative = fs::absolute(*request.jar).lexically_normal().lexically_relative(base);
        std::string name = format::pathText(relative.empty() ? *request.jar : relative);
        facts = init::factsFromManifest(name, init::mainAttributes(manifest));
    }
    std::string text = init::renderSections(init::initSections(facts, init::freshGuid()));
    if (!request.output.parent_path().empty()) fs::create_directories(request.output.parent_path());
    // Created here or not at all, never replaced; a configuration is no program.
    format::UniqueFile file = format::createNewFile(request.output);
    if (!file) throw std::runtime_error("cannot create " + format::pathText(request.output));
    bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    if (std::fclose(file.release()) != 0 || !written)
        throw std::runtime_error("cannot write " + format::pathText(request.output));
    fs::permissions(request.output, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::remove, ec);
    out << "wrote " << format::pathText(request.output)
        << (facts.mainClass ? "" : request.jar ? " (the jar names no Main-Class: set application.main_class)" : "")
        << "\n";
}

}  // namespace kestro::tool
