#include "tool/run/stand_in_runtime.h"

#include <fstream>
#include <stdexcept>

#include "tool/run/run_plan.h"

namespace kestro::tool::run {

namespace {

constexpr const char* kMarker = "kestro-run-stand-in.txt";
constexpr const char* kFiles[] = {"java.exe", "jvm.dll", "host_bridge.jar", "runner.exe"};

// An application run by hand may run for long: the stand-in's own limit (which keeps
// test runs from leaving a Java process behind) is set to a year.
constexpr const char* kNoTimeLimit = "31536000";

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

fs::path standInFiles(const fs::path& toolDirectory) {
    fs::path folder = toolDirectory / "runtime-stand-in";
    for (const char* name : kFiles)
        if (!fs::is_regular_file(folder / name))
            throw std::runtime_error("the stand-in runtime is incomplete: " + (folder / name).string() +
                                     " is missing (it is installed with kestro)");
    return folder;
}

void layOutStandIn(const fs::path& from, const fs::path& home, const StandInRuntime& runtime) {
    fs::path bin = home / "bin", server = bin / "server";
    fs::create_directories(server);
    std::string version = versionSetting(runtime.versionText);
    // javaw.exe for windowed applications, javac.exe for those that want a JDK.
    for (std::string name : {"java", "javaw", "javac"}) {
        if (name == "javac" && !runtime.jdk) continue;
        fs::copy_file(from / "java.exe", bin / (name + ".exe"), fs::copy_options::overwrite_existing);
        writeText(bin / (name + ".exe.cfg"), version);
    }
    fs::copy_file(from / "jvm.dll", server / "jvm.dll", fs::copy_options::overwrite_existing);
    fs::copy_file(from / "host_bridge.jar", server / "host_bridge.jar", fs::copy_options::overwrite_existing);
    writeText(server / "jvm.dll.cfg", "java=" + runtime.java.string() + "\ntimeout=" + kNoTimeLimit + "\n");
    writeText(home / kMarker, "A stand-in Java runtime laid out by kestro run: its jvm.dll runs the application in " +
                                  runtime.java.string() + ".\n");
}

bool mayHoldStandIn(const fs::path& home) {
    std::error_code ec;
    return !fs::exists(home, ec) || fs::is_regular_file(home / kMarker, ec);
}

}  // namespace kestro::tool::run
