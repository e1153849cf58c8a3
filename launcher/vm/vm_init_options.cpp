#include "vm/vm_init_options.h"

#include "diagnostics/trace.h"

namespace kestro {

namespace {

std::string property(const char* name, const std::string& value) {
    return truncated(std::string("-D") + name + "=" + value);
}

}  // namespace

std::vector<std::string> launcherProperties(const LauncherPropertyValues& values) {
    std::vector<std::string> out;
    if (!values.semaphoreName.empty()) out.push_back(property("kestro.semaphoreName", values.semaphoreName));
    if (values.velmora) out.push_back(property("kestro.isVelmora", "true"));
    out.push_back(property("kestro.moduleName", values.modulePath));
    out.push_back(property("sun.java.command", values.modulePath));
    if (values.processCommFile) out.push_back(property("kestro.processCommFile", *values.processCommFile));
    out.push_back(property("kestro.tempDir", values.tempDir));
    int32_t position = values.langRestart ? -1 : int32_t(values.unextractedPosition);
    out.push_back(property("kestro.unextractedPosition", decimal(position)));
    out.push_back("-Djava.library.path=" + values.path);
    // "cp0" would name a charset that does not exist.
    uint32_t codePage = values.consoleOutputCodePage ? values.consoleOutputCodePage : values.oemCodePage;
    if (!values.manPathSet) out.push_back(property("kestro.consoleCodepage", "cp" + decimal(int32_t(codePage))));
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
