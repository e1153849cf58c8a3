// kestro: builds a launcher from a configuration file, and shows what a launcher carries.
#include <iostream>

#include <CLI/CLI.hpp>

#include "tool/commands.h"
#include "tool/config_loader.h"

namespace {

using namespace kestro::tool;

int fail(const std::string& message) {
    std::cerr << "kestro: " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"kestro - builds Java application launchers for 64-bit Windows"};
    app.require_subcommand(1);

    BuildRequest build;
    std::string stub;
    CLI::App* buildCommand = app.add_subcommand("build", "Build a launcher from a configuration file");
    buildCommand->add_option("config", build.config, "Configuration file (TOML)")->required();
    buildCommand->add_option("-o,--output", build.output, "Launcher to write")->required();
    buildCommand->add_option("--stub", stub, "Launcher stub (default: launcher.exe beside kestro)");

    InspectRequest inspect;
    bool json = false, toml = false;
    std::string extractDir, codePage = "windows-1252";
    CLI::App* inspectCommand = app.add_subcommand("inspect", "Show the configuration a launcher carries");
    inspectCommand->add_option("launcher", inspect.launcher, "Launcher to read")->required();
    auto jsonFlag = inspectCommand->add_flag("--json", json, "Print JSON");
    inspectCommand->add_flag("--toml", toml, "Print a configuration file that builds the same block")->excludes(jsonFlag);
    inspectCommand->add_option("--extract", extractDir, "Write the included files into this directory");
    inspectCommand->add_option("--code-page", codePage, "Code page of the stored texts")
        ->check(CLI::IsMember({"windows-1252", "1252", "utf-8", "65001"}));

    CLI11_PARSE(app, argc, argv);

    try {
        if (buildCommand->parsed()) {
            if (!stub.empty()) build.stub = stub;
            buildLauncher(build);
        } else {
            inspect.format = json ? InspectFormat::Json : toml ? InspectFormat::Toml : InspectFormat::Text;
            if (!extractDir.empty()) inspect.extractDir = extractDir;
            inspect.codePage = *codePageByName(codePage);
            inspectLauncher(inspect, std::cout, std::cerr);
        }
    } catch (const ConfigError& e) {
        for (const auto& problem : e.problems()) std::cerr << problem << "\n";
        return 1;
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return 0;
}
