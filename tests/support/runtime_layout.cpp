#include "support/runtime_layout.h"

#include <fstream>

namespace kestro::layout {

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

void copyStandIn(const fs::path& fixtures, const char* name, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy_file(fixtures / name, to, fs::copy_options::overwrite_existing);
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\\' ? "\\\\" : std::string(1, c);
    return out;
}

fs::path sidecar(const fs::path& program, const char* extension) {
    return program.parent_path() / (program.filename().string() + extension);
}

}  // namespace

std::string versionOutput(const std::string& version, const std::string& product) {
    return product + " version \"" + version + "\"\r\n" + "Runtime Environment (build " + version + ")\r\n";
}

const std::vector<std::string>& restoredJarOrder() {
    static const std::vector<std::string> order = {"lib/rt.jar",     "lib/jfxrt.jar",  "lib/charsets.jar",
                                                   "lib/plugin.jar", "lib/deploy.jar", "lib/ext/localedata.jar",
                                                   "lib/jsse.jar"};
    return order;
}

RuntimeLayout hostRuntime(const std::string& version) {
    RuntimeLayout runtime;
    runtime.version = version;
    runtime.vmLibraries = {"bin/server/jvm.dll"};
    runtime.hostVm = true;
    return runtime;
}

void placeJava(const fs::path& path, const std::string& version, const fs::path& fixtures) {
    copyStandIn(fixtures, "java.exe", path);
    setJavaBehaviour(path, {.stderrText = versionOutput(version)});
}

// Rewrites the machine field of the PE header of the image at `path`.
static void setImageMachine(const fs::path& path, uint16_t machine) {
    std::fstream image(path, std::ios::binary | std::ios::in | std::ios::out);
    uint8_t offset[4] = {};
    image.seekg(0x3C);
    image.read(reinterpret_cast<char*>(offset), 4);
    uint32_t pe = uint32_t(offset[0]) | uint32_t(offset[1]) << 8 | uint32_t(offset[2]) << 16 | uint32_t(offset[3]) << 24;
    const char field[2] = {char(machine & 0xFF), char(machine >> 8)};
    image.seekp(pe + 4);
    image.write(field, 2);
}

void layOutRuntime(const fs::path& home, const RuntimeLayout& runtime, const fs::path& fixtures) {
    fs::create_directories(home);
    for (auto [java, inBin] : {std::pair{"java.exe", runtime.binJava}, {"javaw.exe", runtime.binJavaw}}) {
        if (inBin) placeJava(home / "bin" / java, runtime.version, fixtures);
        if (runtime.embeddedJre) placeJava(home / "jre" / "bin" / java, runtime.version, fixtures);
    }
    if (runtime.toolsJar) writeFile(home / "lib" / "tools.jar", "tools");
    if (runtime.javac) writeFile(home / "bin" / "javac.exe", "javac");
    if (runtime.unpack200) copyStandIn(fixtures, "unpack200.exe", home / "bin" / "unpack200.exe");
    for (const std::string& jar : runtime.jars) writeFile(home / jar, "jar " + jar);
    for (const std::string& jar : runtime.packedJars) writeFile(home / (jar + ".pack"), "packed " + jar);
    // The host VM is the product's, installed beside the tool (build/tool/runtime-stand-in).
    fs::path product = fixtures.parent_path().parent_path() / "tool" / "runtime-stand-in";
    for (const std::string& library : runtime.vmLibraries) {
        copyStandIn(runtime.hostVm ? product : fixtures, runtime.vmDependency ? "jvm_importing.dll" : "jvm.dll",
                    home / library);
        if (runtime.hostVm) copyStandIn(product, "host_bridge.jar", (home / library).parent_path() / "host_bridge.jar");
        if (runtime.vmMachine != 0) setImageMachine(home / library, runtime.vmMachine);
    }
    if (runtime.vmDependency) copyStandIn(fixtures, "kstvmdep.dll", home / "bin" / "kstvmdep.dll");
    for (const std::string& library : runtime.brokenVmLibraries)
        copyStandIn(fixtures, "jvm_without_entry.dll", home / library);
    if (!runtime.splashLibrary.empty())
        copyStandIn(fixtures, runtime.splashLibrary.c_str(), home / "bin" / "splashscreen.dll");
}

void setJavaBehaviour(const fs::path& javaExe, const JavaBehaviour& behaviour) {
    writeFile(sidecar(javaExe, ".cfg"), "stderr=" + escaped(behaviour.stderrText) + "\n" +
                                            "exit=" + std::to_string(behaviour.exitCode) + "\n" +
                                            "sleep=" + std::to_string(behaviour.sleepMs) + "\n");
}

void failUnpackOf(const fs::path& home, const std::string& jarFileName) {
    writeFile(home / "bin" / "unpack200.exe.cfg", "fail=" + jarFileName + "\n");
}

void scriptVmLibrary(const fs::path& library, const JvmScript& script) {
    auto joined = [](const std::vector<std::string>& items) {
        std::string out;
        for (const std::string& item : items) out += (out.empty() ? "" : ",") + item;
        return out;
    };
    std::string text = "create=" + std::to_string(script.createResult) + "\n";
    if (!script.missingClasses.empty()) text += "missingClasses=" + joined(script.missingClasses) + "\n";
    if (!script.missingMethods.empty()) text += "missingMethods=" + joined(script.missingMethods) + "\n";
    if (script.mainThrows) text += "main=throw\n";
    if (script.mainExit) text += "main=exit " + std::to_string(*script.mainExit) + "\n";
    if (script.firstRun == JvmScript::FirstRun::False) text += "firstRun=false\n";
    if (script.firstRun == JvmScript::FirstRun::Throws) text += "firstRun=throw\n";
    if (script.nullArray) text += "nullArray=1\n";
    if (script.nullString >= 0) text += "nullString=" + std::to_string(script.nullString) + "\n";
    if (!script.mainWaitFor.empty()) text += "mainWaitFor=" + escaped(script.mainWaitFor) + "\n";
    if (script.mainWindow) text += script.windowStuck ? "window=stuck\n" : "window=minimised\n";
    if (script.reportHost) text += "reportHost=1\n";
    writeFile(sidecar(library, ".cfg"), text);
}

// The lines of a file, none when it is missing.
static std::vector<std::string> linesOf(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> recordedRuns(const fs::path& program) { return linesOf(sidecar(program, ".runs")); }
VmTranscript vmLibraryTranscript(const fs::path& library) { return {linesOf(sidecar(library, ".transcript"))}; }

int VmTranscript::index(const std::string& line, int from) const {
    for (size_t i = size_t(from < 0 ? 0 : from); i < lines.size(); ++i)
        if (lines[i] == line) return int(i);
    return -1;
}

std::vector<std::string> VmTranscript::values(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
    return out;
}

std::string VmTranscript::text() const {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

}  // namespace kestro::layout
