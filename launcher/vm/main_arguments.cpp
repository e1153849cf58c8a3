#include "vm/main_arguments.h"

#include "config/config_tables.h"
#include "startup/command_line.h"
#include "startup/launcher_state.h"
#include "vm/module_options.h"

namespace kestro {

namespace {

bool startsWith(Utf16View text, Utf16View prefix) { return text.substr(0, prefix.size()) == prefix; }

// A UTF-16 text cut to the launcher's 8192-unit buffers (terminator included).
Utf16 bounded(Utf16 text) {
    if (text.size() > kTextCapacity - 1) text.resize(kTextCapacity - 1);
    return text;
}

// A log file's path for the Java side: variables expanded and made absolute, unless it
// begins with "$", which the Java side reads itself.
Utf16 logFileArgument(ConfigKey enabled, ConfigKey name, const VmSystem& system) {
    if (lookupInt(enabled) == 0) return {};
    std::string path = lookupString(name);
    system.expand(path);
    if (!path.starts_with('$')) path = system.fullPath(path, true);
    return bounded(system.toUtf16(path));
}

}  // namespace

const char* launcherClassName() {
    return velmoraMode() ? "com/velmora/runtime/launcher/WinLauncher" : "com/kestro/runtime/WinLauncher";
}

void launcherArguments(std::vector<Utf16>& out, const VmSystem& system) {
    out.push_back(lookupInt(key::ApplicationType) == key::TypeGui ? u"true" : u"false");
    // A modular application's class comes with its module, or from the module's descriptor.
    std::string mainModule = lookupString(key::MainModule);
    out.push_back(widenAscii(mainModule.empty() ? lookupString(key::MainClass) : moduleMainClass(mainModule)));
    out.push_back(logFileArgument(key::RedirectStderr, key::StderrFile, system));
    out.push_back(logFileArgument(key::RedirectStdout, key::StdoutFile, system));
    out.push_back(lookupInt(key::LauncherFlag) != 0 ? u"true" : u"false");
}

std::vector<Utf16> mainArguments(const std::vector<Utf16>& commandLine, const VmSystem& system) {
    std::vector<Utf16> out;
    launcherArguments(out, system);
    // Always there, empty for a process started with an empty command line: the library
    // takes the sixth argument for the executable and passes only what follows.
    out.push_back(commandLine.empty() ? Utf16() : commandLine[0]);
    std::string fixed = lookupString(key::ProgramArguments);
    system.expand(fixed);
    splitCommandLine(bounded(system.toUtf16(truncated(std::move(fixed)))), out);
    bool javaOptions = lookupInt(key::JavaOptionArguments) != 0;
    for (size_t i = 1; i < commandLine.size(); ++i) {
        const Utf16& argument = commandLine[i];
        if (javaOptions && startsWith(argument, u"-J")) continue;
        if (startsWith(argument, u"-Dsun.locale.formatasdefault=")) continue;
        out.push_back(argument);
    }
    return out;
}

}  // namespace kestro
