// The stand-in Java runtime that `kestro run` lays out for a launcher: java.exe and
// javaw.exe that report the host JDK's version when the launcher probes them, and a
// jvm.dll that hands the launch to that JDK; and the runner that starts the launcher
// (runtime-stand-in/, installed beside the tool).
#pragma once

#include <filesystem>
#include <string>

namespace kestro::tool::run {

namespace fs = std::filesystem;

struct StandInRuntime {
    fs::path java;            // the host's java, a Linux path
    std::string versionText;  // what it prints for "-version"
    bool jdk = false;         // it has javac beside it: the runtime gets a javac.exe
};

// The folder of the stand-in's files beside the tool (the runner stays there); throws
// when one is missing.
fs::path standInFiles(const fs::path& toolDirectory);

// Lays the runtime out below `home`, which is created; `from` is standInFiles(). A
// marker file says it is kestro run's, so that a later run may replace it.
void layOutStandIn(const fs::path& from, const fs::path& home, const StandInRuntime& runtime);

// Whether `home` may take the runtime: it does not exist, or a stand-in lies there.
bool mayHoldStandIn(const fs::path& home);

}  // namespace kestro::tool::run
