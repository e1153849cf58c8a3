#include "vm/vm_init_options.h"

#include "diagnostics/trace.h"

namespace kestro {

namespace {

// Appends "-Dname=value", cut to the text capacity. Built in place and out of line:
// the launcher adds a handful of these, and a chain of "+" at each would build and free
// a temporary per piece.
[[gnu::noinline]] void addProperty(std::vector<std::string>& out, const char* name, std::string_view value) {
    std::string& option = out.emplace_back("-D");
    option += name;
    option += '=';
    option += value;
    if (option.size() > kTextCapacity - 1) option.resize(kTextCapacity - 1);
}

}  // namespace

std::vector<std::string> launcherProperties(const LauncherPropertyValues& values) {
    std::vector<std::string> out;
    if (!values.semaphoreName.empty()) addProperty(out, "kestro.semaphoreName", values.semaphoreName);
    if (values.velmora) addProperty(out, "kestro.isVelmora", "true");
    addProperty(out, "kestro.moduleName", values.modulePath);
    addProperty(out, "sun.java.command", values.modulePath);
    if (values.processCommFile) addProperty(out, "kestro.processCommFile", *values.processCommFile);
    addProperty(out, "kestro.tempDir", values.tempDir);
    int32_t position = values.langRestart ? -1 : int32_t(values.unextractedPosition);
    addProperty(out, "kestro.unextractedPosition", decimal(position));
    out.emplace_back("-Djava.library.path=") += values.path;
    // "cp0" would name a charset that does not exist.
    uint32_t codePage = values.consoleOutputCodePage ? values.consoleOutputCodePage : values.oemCodePage;
    if (!values.manPathSet) addProperty(out, "kestro.consoleCodepage", decimal(int32_t(codePage)).insert(0, "cp"));
    return out;
}

std::optional<ClassPathFailure> gatherVmOptions(const std::vector<std::string>& properties,
                                                const std::vector<Utf16>& arguments, const VmSystem& system,
                                                VmOptionList& options) {
    OptionCollector collector{system, properties, {}, {}};
    collectVmOptions(arguments, collector);
    OptionFile defaultFile = openDefaultVmOptionsFile(system);
    trace("default vmoptions file: %p", static_cast<void*>(defaultFile.file));
    // Relative includes of this file resolve against the launcher's directory, which
    // is its own.
    readVmOptionsFile(nullptr, std::move(defaultFile), collector);

    std::string classPath;
    if (std::optional<ClassPathFailure> failure = buildClassPath(collector.directives, classPath, system))
        return failure;
    options = std::move(collector.options);
    options.push_back(std::move(classPath));
    trace("vmoption count %d", int(options.size()));
    for (size_t i = 0; i < options.size(); ++i) trace("vmoption %d: %s", int(i), options[i].c_str());
    return std::nullopt;
}

}  // namespace kestro
