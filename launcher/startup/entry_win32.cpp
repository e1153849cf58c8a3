// The launcher's entry point: one pass through the start-up steps in their fixed order.
// The main thread that runs it finally becomes the Java VM's main thread.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "config/config_reader.h"
#include "config/config_tables.h"
#include "diagnostics/error_report.h"
#include "diagnostics/log_switch.h"
#include "diagnostics/message_box.h"
#include "diagnostics/trace.h"
#include "host/console.h"
#include "host/environment_settings.h"
#include "host/native_library_path.h"
#include "host/reboot.h"
#include "instance/single_instance.h"
#include "runtime/load_dll.h"
#include "runtime/runtime_library.h"
#include "splash/splash.h"
#include "startup/command_line.h"
#include "startup/exit.h"
#include "startup/launcher_state.h"
#include "startup/restart_guard.h"
#include "startup/switch_scan.h"
#include "vm/java_vm_launcher.h"
#include "vm/variable_expansion.h"
#include "workfiles/included_files.h"
#include "workfiles/paths.h"
#include "workfiles/run_directory.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

constexpr uint32_t kExitNoRuntime = 83;

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

void changeWorkingDirectory() {
    std::string directory = lookupString(key::WorkingDirectory);
    if (directory.empty()) {
        trace("working directory unchanged");
        return;
    }
    expandVariables(directory);
    directory = fullPath(directory, true);
    SetCurrentDirectoryA(directory.c_str());  // a directory that cannot be entered is ignored
    trace("change working directory to %s", directory.c_str());
}

// "-q", "-c" and "-console" stay in the argument list; the VM start decides which of
// them the application sees.
void applySwitches(const std::vector<Utf16>& arguments) {
    bool quietSwitches = lookupInt(key::QuietSwitches) != 0;
    if (!quietSwitches && lookupInt(key::ConsoleSwitch) == 0) return;
    if (scanSwitches(arguments, quietSwitches, {disableErrorBoxes, openConsole})) return;
    messageBox("Error: Could not allocate console.", "velmora", MB_OK);
    exitLauncher(1);
}

int runStartup(const char* ansiCommandLine, int showCommand) {
    removeCurrentDirectoryFromDllSearch();
    InitCommonControls();
    if (*ansiCommandLine && std::strcmp(ansiCommandLine, "__vlm_reboot") == 0) {
        rebootSystem();
        return 0;
    }
    LauncherState& launcher = launcherState();
    launcher.langRestart = startsWith(ansiCommandLine, "__vlm_lang_restart");
    if (startsWith(ansiCommandLine, "-q_vlm_internal")) disableErrorBoxes();

    std::vector<Utf16>& arguments = launcher.commandLineArguments;
    splitCommandLine(reinterpret_cast<const char16_t*>(GetCommandLineW()), arguments);
    tempDirPath().clear();
    checkLogSwitch(arguments);

    readLauncherConfig(arguments);
    takeRestartHistory();
    launcher.launcherFlavour = lookupString(key::Flavour, 2)[0];
    if (!launcher.langRestart) changeWorkingDirectory();
    offerLogExplorer();
    applySwitches(arguments);

    if (!launcher.langRestart) checkSingleInstance(true, true);
    if (extractIncludedFiles(true) != 0) fatalMessage(msg::InternalError, "16");
    setNativeLibraryPath();
    if (!LoadDLL()) exitLauncher(kExitNoRuntime);
    // After the runtime search, so that a value may name the runtime's home.
    applyEnvironmentSettings();
    if (lookupInt(key::SplashScreen) != 0 && lookupInt(key::RuntimeSplash) != 0) splashScreen(showCommand);
    if (!launchProgram(arguments, true)) fatalMessage(msg::JvmStartFailed);
    // Not while the process ends: the sweep of earlier directories stops first.
    stopRemovingEndedRunDirectories();
    restartOnExitCode(0);
    return 0;
}

}  // namespace

}  // namespace kestro

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int showCommand) {
    return kestro::runStartup(commandLine, showCommand);
}
