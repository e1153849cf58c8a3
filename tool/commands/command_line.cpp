// kestro: builds a launcher from a configuration file, and shows what a launcher carries.
#include "tool/commands/command_line.h"

#include <iostream>

#include <CLI/CLI.hpp>

#include "format/native_file.h"
#include "tool/commands/commands.h"
#include "tool/config/config_loader.h"
#include "tool/platform/program.h"
#include "tool/text/suggestion.h"

namespace kestro::tool {

namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int fail(const std::string& message) {
    std::cerr << "kestro: " << message << "\n";
    return kFailed;
}

// A wrong command line: what is wrong, and where the usage is.
int usage(const std::string& message, const CLI::App& command) {
    std::string help = command.get_parent() ? "kestro " + command.get_name() + " --help" : "kestro --help";
    std::cerr << "kestro: " << message << "\nRun '" << help << "' for usage.\n";
    return kUsage;
}

// The long and short option names of a command, as typed ("--output", "-o").
std::vector<std::string> optionNames(const CLI::App& command) {
    std::vector<std::string> names;
    for (const CLI::Option* option : command.get_options()) {
        for (const auto& name : option->get_lnames()) names.push_back("--" + name);
        for (const auto& name : option->get_snames()) names.push_back("-" + name);
    }
    return names;
}

// Arguments the command did not take (its extras): the first unknown option, else the
// first surplus argument. Returns the exit code, or 0 when there are none.
int refuseExtras(const CLI::App& command) {
    std::vector<std::string> extras = command.remaining();
    if (extras.empty()) return 0;
    std::string where = command.get_parent() ? " for 'kestro " + command.get_name() + "'" : "";
    for (const std::string& extra : extras)
        if (extra.size() > 1 && extra[0] == '-') {
            std::string name = extra.substr(0, extra.find('='));
            return usage("unknown option '" + name + "'" + where + didYouMean(closestName(name, optionNames(command))),
                         command);
        }
    return usage("unexpected argument '" + extras.front() + "'" + where, command);
}

int missing(const std::string& what, const CLI::App& command) {
    return usage("'kestro " + command.get_name() + "' needs " + what, command);
}

// The end of 'kestro --help': a first build and a look inside, and where the settings are
// described: the reference that the release archive installs beside the tool.
std::string helpFooter() {
    std::error_code ec;
    fs::path reference = programDirectory() / "docs" / "configuration.md";
    std::string docs = fs::is_regular_file(reference, ec) ? format::pathText(reference)
                                                          : "docs/configuration.md in kestro's release archive";
    return "Examples:\n"
           "  kestro build app.toml -o App.exe\n"
           "      builds the launcher App.exe from the configuration file app.toml\n"
           "  kestro init app.jar\n"
           "      writes app.toml, a starting configuration, from the jar's manifest\n"
           "  kestro inspect App.exe --toml\n"
           "      prints the configuration that App.exe carries as a configuration file\n"
           "\nEvery setting of a configuration file is described in " + docs + "\n";
}

}  // namespace

int runKestro(int argc, char** argv) {
    CLI::App app{"kestro " KESTRO_VERSION " - builds Java application launchers for 64-bit Windows", "kestro"};
    app.set_version_flag("--version", "kestro " KESTRO_VERSION);
    app.footer(helpFooter());
    // Unknown arguments are collected rather than refused at once, so that the message
    // can name them before any missing argument.
    app.allow_extras();
    // A path such as /home/me/app.exe is an argument on every system, never an option.
    app.allow_windows_style_options(false);

    // Paths are taken as text and made paths from UTF-8, which Windows needs.
    BuildRequest build;
    std::string config, output, stub, buildDefaults;
    CLI::App* buildCommand = app.add_subcommand("build", "Build a launcher from a configuration file");
    buildCommand->add_option("config", config, "Configuration file (TOML)");
    buildCommand->add_option("-o,--output", output, "Launcher to write");
    buildCommand->add_option("--stub", stub, "Launcher stub (default: launcher.exe beside kestro)");
    buildCommand->add_flag("-q,--quiet", build.quiet, "Print nothing but warnings and errors");
    buildCommand->add_flag("--write-runtime-jar", build.writeRuntimeJar,
                           "Velmora flavour: also write .velmora/vlmruntime.jar below the application directory");
    buildCommand->add_option("--defaults", buildDefaults,
                             "Configuration file whose settings apply where the configuration sets none");

    InspectRequest inspect;
    std::string launcher;
    bool json = false, toml = false;
    std::string extractDir, codePage = "windows-1252";
    CLI::App* inspectCommand = app.add_subcommand("inspect", "Show the configuration a launcher carries");
    inspectCommand->add_option("launcher", launcher, "Launcher to read");
    auto jsonFlag = inspectCommand->add_flag("--json", json, "Print JSON");
    inspectCommand->add_flag("--toml", toml, "Print a configuration file that builds the same block")->excludes(jsonFlag);
    inspectCommand->add_option("--extract", extractDir, "Write the included files into this directory");
    inspectCommand->add_option("--code-page", codePage, "Code page of the stored texts")
        ->check(CLI::IsMember({"windows-1252", "1252", "utf-8", "65001"}));

    RunRequest runRequest;
    std::string runtimeDir, javaHome;
    CLI::App* runCommand = app.add_subcommand("run", "Run a launcher under Wine with the host's JDK behind it (Linux)");
    runCommand->footer("kestro run [OPTIONS] App.exe [ARGS...]: the ARGS go to the launcher as given");
    runCommand->add_flag("--trace", runRequest.trace, "Print the launcher's trace after the run");
    runCommand->add_flag("--keep", runRequest.keep, "Keep the working files for a look afterwards");
    runCommand->add_option("--runtime", runtimeDir, "Place the stand-in runtime here (relative to the launcher)")
        ->type_name("DIR");
    runCommand->add_option("--java-home", javaHome, "The JDK that runs the application (default: java on PATH)")
        ->type_name("DIR");
    // The launcher and its arguments, whatever they look like, are the extras.
    runCommand->prefix_command();

    PackageRequest packageRequest;
    std::string packageConfig, packageOutput, packageStub, packageDefaults;
    CLI::App* packageCommand =
        app.add_subcommand("package", "Build the launcher and put it in a Windows Installer package ([package])");
    packageCommand->add_option("config", packageConfig, "Configuration file (TOML) with a [package] table");
    packageCommand->add_option("-o,--output", packageOutput, "Package to write (.msi)");
    packageCommand->add_option("--stub", packageStub, "Launcher stub (default: launcher.exe beside kestro)");
    packageCommand->add_flag("--wxs", packageRequest.wxsOnly,
                             "Write the WiX source and the launcher beside the output instead, for the WiX toolset");
    packageCommand->add_flag("-q,--quiet", packageRequest.quiet, "Print nothing but warnings and errors");
    packageCommand->add_option("--defaults", packageDefaults,
                               "Configuration file whose settings apply where the configuration sets none");

    std::string initJar, initOutput = "app.toml";
    CLI::App* initCommand = app.add_subcommand("init", "Write a starting configuration file, from a jar's manifest");
    initCommand->add_option("jar", initJar, "The application's jar (main class, class path, name, version)");
    initCommand->add_option("-o,--output", initOutput, "Configuration file to write, never one that exists (default: app.toml)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help, --version
    } catch (const CLI::ParseError& e) {
        return usage(e.what(), app);
    }

    std::vector<std::string> extras = app.remaining();
    if (!buildCommand->parsed() && !inspectCommand->parsed() && !runCommand->parsed() && !packageCommand->parsed() &&
        !initCommand->parsed()) {
        if (extras.empty()) return usage("a command is needed: 'build', 'inspect', 'run', 'package' or 'init'", app);
        if (extras.front()[0] != '-')
            return usage("unknown command '" + extras.front() + "'" +
                             didYouMean(closestName(extras.front(), std::vector<std::string>{"build", "inspect", "run",
                                                                                             "package", "init"})),
                         app);
    }
    if (int code = refuseExtras(app)) return code;

    try {
        if (runCommand->parsed()) {
            std::vector<std::string> rest = runCommand->remaining();
            if (rest.empty()) return missing("a launcher to run: kestro run App.exe ARGS...", *runCommand);
            if (rest.front().size() > 1 && rest.front()[0] == '-') return refuseExtras(*runCommand);
            runRequest.launcher = format::pathFromUtf8(rest.front());
            runRequest.arguments.assign(rest.begin() + 1, rest.end());
            if (!runtimeDir.empty()) runRequest.runtimeDirectory = format::pathFromUtf8(runtimeDir);
            if (!javaHome.empty()) runRequest.javaHome = format::pathFromUtf8(javaHome);
            return runLauncher(runRequest, std::cerr);
        }
        if (packageCommand->parsed()) {
            if (int code = refuseExtras(*packageCommand)) return code;
            if (packageConfig.empty())
                return missing("a configuration file: kestro package app.toml -o App.msi", *packageCommand);
            if (packageOutput.empty()) return missing("the package to write: -o App.msi", *packageCommand);
            packageRequest.config = format::pathFromUtf8(packageConfig);
            packageRequest.output = format::pathFromUtf8(packageOutput);
            if (!packageStub.empty()) packageRequest.stub = format::pathFromUtf8(packageStub);
            if (!packageDefaults.empty()) packageRequest.defaults = format::pathFromUtf8(packageDefaults);
            packageApplication(packageRequest, std::cout, std::cerr);
            return 0;
        }
        if (initCommand->parsed()) {
            if (int code = refuseExtras(*initCommand)) return code;
            InitRequest init;
            init.output = format::pathFromUtf8(initOutput);
            if (!initJar.empty()) init.jar = format::pathFromUtf8(initJar);
            writeInitialConfig(init, std::cout);
            return 0;
        }
        if (buildCommand->parsed()) {
            if (int code = refuseExtras(*buildCommand)) return code;
            if (config.empty()) return missing("a configuration file: kestro build app.toml -o App.exe", *buildCommand);
            if (output.empty()) return missing("the launcher to write: -o App.exe", *buildCommand);
            build.config = format::pathFromUtf8(config);
            build.output = format::pathFromUtf8(output);
            if (!stub.empty()) build.stub = format::pathFromUtf8(stub);
            if (!buildDefaults.empty()) build.defaults = format::pathFromUtf8(buildDefaults);
            buildLauncher(build, std::cout, std::cerr);
        } else {
            if (int code = refuseExtras(*inspectCommand)) return code;
            if (launcher.empty()) return missing("the launcher to read: kestro inspect App.exe", *inspectCommand);
            inspect.launcher = format::pathFromUtf8(launcher);
            inspect.format = json ? InspectFormat::Json : toml ? InspectFormat::Toml : InspectFormat::Text;
            if (!extractDir.empty()) inspect.extractDir = format::pathFromUtf8(extractDir);
            inspect.codePage = *codePageByName(codePage);
            inspectLauncher(inspect, std::cout, std::cerr);
        }
    } catch (const ConfigError& e) {
        for (const auto& problem : e.problems()) std::cerr << problem << "\n";
        return kFailed;
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return 0;
}

}  // namespace kestro::tool
