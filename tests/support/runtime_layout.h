// Stand-in Java runtimes laid out in a test's folder, for the native Windows tests and
// the end-to-end tests alike: the runtime's programs are copies of the stand-ins that
// the Windows build makes (tests/fixtures), told what to do by small files beside them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestro::layout {

namespace fs = std::filesystem;

// What a stand-in java executable does when it runs.
struct JavaBehaviour {
    std::string stderrText;  // written byte for byte
    int exitCode = 0;
    int sleepMs = 0;
};

// The standard error of "java -version" of a runtime of `version`, as real runtimes
// write it (Windows line ends); `product` is "java" or "openjdk".
std::string versionOutput(const std::string& version, const std::string& product = "java");

// A runtime directory. Paths inside it are written with "/".
struct RuntimeLayout {
    std::string version = "1.8.0_201";  // what its java executables report
    bool binJava = true;                // bin/java.exe
    bool binJavaw = true;               // bin/javaw.exe
    bool embeddedJre = false;           // jre/bin/java.exe and jre/bin/javaw.exe, as in a JDK
    bool toolsJar = false;              // lib/tools.jar
    bool javac = false;                 // bin/javac.exe, which every JDK has
    bool unpack200 = false;             // bin/unpack200.exe
    std::vector<std::string> jars;      // plain jars, e.g. "lib/jsse.jar"
    std::vector<std::string> packedJars;  // jars laid out packed: "<jar>.pack" holding "packed <jar>"
    std::vector<std::string> vmLibraries;    // loadable VM libraries, e.g. "bin/server/jvm.dll"
    std::vector<std::string> brokenVmLibraries;  // VM libraries without the invocation entry point
    bool hostVm = false;  // the VM libraries hand the launch to the host's JDK (see hostRuntime)
    // The VM libraries import bin/kstvmdep.dll, which records where it was loaded from
    // ("kstvmdep.dll.loaded" beside the copy taken; tests/fixtures/jvm/vm_dependency.cpp).
    bool vmDependency = false;
    // The machine the VM libraries' PE headers name, when not 0: a copy whose header says
    // ARM64 (0xAA64) or x86 (0x14C) stands for a runtime built for another machine.
    uint16_t vmMachine = 0;
    // bin/splashscreen.dll: empty for none, else the stand-in splash library of this file
    // name ("splashscreen.dll", or a variant without one function such as
    // "splashscreen_without_close.dll"; tests/fixtures/splash).
    std::string splashLibrary;
};

// A runtime whose bin/server/jvm.dll runs the launch in the host's JDK: the jvm.dll of
// the product's stand-in runtime (runtime-stand-in/, installed beside the tool) with
// its bridge "host_bridge.jar" beside it (where it looks for it), and "java=PATH" in
// bin/server/jvm.dll.cfg to use another JDK than the one the build found. Its java
// executables are the recording ones and report `version`. (kestro run lays out the
// same runtime for a user.)
RuntimeLayout hostRuntime(const std::string& version = "17.0.0");

// What the recording VM library (every runtime's jvm.dll unless hostVm) does; the
// defaults let everything succeed.
struct JvmScript {
    int createResult = 0;                     // what JNI_CreateJavaVM returns
    std::vector<std::string> missingClasses;  // as FindClass is asked, "a/b/C"
    std::vector<std::string> missingMethods;  // method names
    bool mainThrows = false;
    std::optional<int> mainExit;              // main ends the process with this exit code
    enum class FirstRun { True, False, Throws } firstRun = FirstRun::True;
    bool nullArray = false;                   // NewObjectArray returns null
    int nullString = -1;                      // this NewString call (from 0) returns null
    std::string mainWaitFor;                  // main runs until this file (a Windows path) exists
    bool mainWindow = false;                  // main opens a visible window, minimised
    bool windowStuck = false;                 // whose thread never handles its messages
    bool reportHost = false;                  // record PATH, standard error and console at creation
};

// Lines of a record, oldest first: a VM library's transcript (formats in
// runtime-stand-in/jvm/vm_core.h), a launcher's trace.
struct VmTranscript {
    std::vector<std::string> lines;
    // Index of the first record equal to `line` at or after `from`, or -1.
    int index(const std::string& line, int from = 0) const;
    bool has(const std::string& line) const { return index(line) >= 0; }
    // The rest of every record that begins with `prefix`, in order.
    std::vector<std::string> values(const std::string& prefix) const;
    std::string text() const;  // for failure messages
};

// The jars a packed runtime holds, in the order in which the launcher restores them.
const std::vector<std::string>& restoredJarOrder();

// Lays out `runtime` below `home` (created as needed), taking the stand-ins from the
// Windows build's fixtures directory.
void layOutRuntime(const fs::path& home, const RuntimeLayout& runtime, const fs::path& fixtures);

// Sets what the stand-in java executable at `javaExe` does from now on.
void setJavaBehaviour(const fs::path& javaExe, const JavaBehaviour& behaviour);

// Places a stand-in java executable at `path` that reports `version`.
void placeJava(const fs::path& path, const std::string& version, const fs::path& fixtures);

// The command lines of every run of the stand-in at `program`, oldest first.
std::vector<std::string> recordedRuns(const fs::path& program);

// Makes unpack200 of the runtime at `home` fail for the jar of this file name.
void failUnpackOf(const fs::path& home, const std::string& jarFileName);

// Sets what the recording VM library at `library` does from now on.
void scriptVmLibrary(const fs::path& library, const JvmScript& script);

// What the VM library at `library` recorded so far.
VmTranscript vmLibraryTranscript(const fs::path& library);

}  // namespace kestro::layout
