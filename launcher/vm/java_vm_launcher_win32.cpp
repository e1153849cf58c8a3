// The Java VM's invocation interface: everything here goes through the published JNI
// tables, and only through the functions named below.
#include <windows.h>

#include <jni.h>

#include <cstdlib>
#include <optional>

#include "common/environment.h"
#include "config/config_tables.h"
#include "diagnostics/error_report.h"
#include "diagnostics/message_box.h"
#include "diagnostics/trace.h"
#include "instance/single_instance.h"
#include "runtime/load_dll.h"
#include "startup/launcher_state.h"
#include "startup/restart_guard.h"
#include "vm/heap_size.h"
#include "vm/java_vm_launcher.h"
#include "vm/main_arguments.h"
#include "vm/main_failure.h"
#include "vm/module_options.h"
#include "vm/vm_init_options.h"
#include "vm/vm_system.h"
#include "workfiles/included_files.h"
#include "workfiles/path_rules.h"
#include "workfiles/paths.h"
#include "workfiles/temp_dir.h"

namespace kestro {

namespace {

// The created VM; its JNIEnv belongs to this (the start-up) thread.
struct VmHandles {
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
};

VmHandles& vmHandles() {
    static VmHandles handles;
    return handles;
}

// The Java side cannot be given its arguments: the launch cannot go on.
[[noreturn]] void internalFailure(const char* value) {
    fatalError(std::string("Internal Error: JavaVMLauncher: ") + value);
}

LauncherPropertyValues currentPropertyValues() {
    LauncherPropertyValues values;
    values.semaphoreName = instanceSemaphoreName();
    values.velmora = velmoraMode();
    values.modulePath = getModulePath();
    if (lookupInt(key::SingleInstance) != 0) values.processCommFile = processCommFilePath(GetCurrentProcessId());
    values.tempDir = tempDirPath();
    values.langRestart = launcherState().langRestart;
    values.unextractedPosition = unextractedPosition();
    values.path = directoryListValue("PATH").value_or(std::string());
    values.manPathSet = std::getenv("MANPATH") != nullptr;
    values.consoleOutputCodePage = GetConsoleOutputCP();
    values.oemCodePage = GetOEMCP();
    return values;
}

// Returns when the code asks for no restart, and the VM ends the process with it.
void JNICALL exitHook(jint code) { restartOnExitCode(code); }

// The options are handed over once and live until the process ends.
struct InitArgs {
    VmOptionList texts;
    std::vector<JavaVMOption> options;
    JavaVMInitArgs args{};
};

InitArgs& buildVmInitArgs(const std::vector<std::string>& properties, const std::vector<Utf16>& arguments) {
    static InitArgs init;
    if (std::optional<ClassPathFailure> failure = gatherVmOptions(properties, arguments, win32VmSystem(), init.texts))
        fatalMessage(failure->message, failure->name.c_str());
    for (std::string& text : init.texts) init.options.push_back(JavaVMOption{text.data(), nullptr});
    // The VM calls it with the code of System.exit before it ends the process.
    static char exitOption[] = "exit";
    if (!lookupString(key::RestartExitCodes).empty())
        init.options.push_back(JavaVMOption{exitOption, reinterpret_cast<void*>(exitHook)});
    init.args.version = JNI_VERSION_1_2;
    init.args.nOptions = jint(init.options.size());
    init.args.options = init.options.data();
    init.args.ignoreUnrecognized = JNI_TRUE;
    return init;
}

bool createVm(const std::vector<std::string>& properties, const std::vector<Utf16>& arguments) {
    InitArgs& init = buildVmInitArgs(properties, arguments);
    trace("Creating JVM");
    CreateJavaVmFn create = createJavaVmEntry();
    if (!create) return false;
    void* vm = nullptr;
    void* env = nullptr;
    // The kept entry point is JNI_CreateJavaVM(JavaVM**, void**, void*).
    if (create(&vm, &env, &init.args) != JNI_OK) return false;
    vmHandles() = {static_cast<JavaVM*>(vm), static_cast<JNIEnv*>(env)};
    return true;
}

// True when the start is to go on: no marker below the application directory, or the
// first-run hook returned true.
bool checkFirstRun() {
    std::string marker = childPath(fullPath(lookupString(key::ApplicationDirectory), true), ".velmora\\firstrun");
    if (!pathExists(marker)) return true;
    JNIEnv* env = vmHandles().env;
    jclass firstRunClass = env->FindClass("com/velmora/runtime/launcher/FirstRun");
    if (!firstRunClass) fatalMessage(msg::InternalError, "14");
    jmethodID firstRun = env->GetStaticMethodID(firstRunClass, "firstRun", "()Z");
    if (!firstRun) fatalMessage(msg::InternalError, "15");
    // Called through the table itself: the header's C++ form would take the va_list
    // variant instead.
    jboolean goOn = env->functions->CallStaticBooleanMethod(env, firstRunClass, firstRun);
    if (env->ExceptionOccurred()) {
        env->ExceptionDescribe();
        return false;
    }
    return goOn != JNI_FALSE;
}

jobjectArray javaArguments(JNIEnv* env, const std::vector<Utf16>& params) {
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray array = stringClass ? env->NewObjectArray(jsize(params.size()), stringClass, nullptr) : nullptr;
    if (!array) internalFailure("paramArray");
    for (size_t i = 0; i < params.size(); ++i) {
        const Utf16& param = params[i];
        trace("param %d: %s", int(i), truncated(toFileSystemText(param)).c_str());
        jstring text = env->NewString(reinterpret_cast<const jchar*>(param.data()), jsize(param.size()));
        if (!text) internalFailure("jstr");
        env->SetObjectArrayElement(array, jsize(i), text);
        // The array holds it now; a VM guarantees only 16 local references.
        env->DeleteLocalRef(text);
    }
    return array;
}

// The thrown object's class and message as its toString gives them ("java.io.IOException:
// disk full"), for the user's message and the trace: a windowed application's standard
// error is lost. Empty when the text cannot be had. Called with no exception pending.
std::string describeThrowable(JNIEnv* env, jthrowable thrown) {
    jclass throwable = env->FindClass("java/lang/Throwable");
    jmethodID toString = throwable ? env->GetMethodID(throwable, "toString", "()Ljava/lang/String;") : nullptr;
    // Called through the table itself, as CallStaticBooleanMethod is.
    auto text = toString ? static_cast<jstring>(env->functions->CallObjectMethod(env, thrown, toString)) : nullptr;
    std::string out;
    const jchar* units = text && !env->ExceptionCheck() ? env->GetStringChars(text, nullptr) : nullptr;
    if (units) {
        out = toFileSystemText(Utf16View(reinterpret_cast<const char16_t*>(units), size_t(env->GetStringLength(text))));
        env->ReleaseStringChars(text, units);
    }
    env->ExceptionClear();
    return truncated(std::move(out));
}

// How main of the launcher class ended, when it did not return normally: the message
// to show, and its detail.
struct MainFailure {
    MessageId message = 0;
    std::string detail;
};

// Nothing when main returned normally or the first-run hook stopped the start. A
// missing launcher class or main method ends the process with its report.
std::optional<MainFailure> callMain(const std::vector<Utf16>& arguments) {
    if (velmoraMode() && !checkFirstRun()) {
        trace("checkFirstRun stopped further execution");
        return std::nullopt;
    }
    const char* className = launcherClassName();  // already in the VM's form, with "/"
    trace("main class: %s", className);
    JNIEnv* env = vmHandles().env;
    jclass mainClass = env->FindClass(className);
    if (!mainClass) {
        traceError("could not find main class");
        env->ExceptionClear();
        writeStandardError(classNotLoadedText(className));
        fatalMessage(msg::MainClassMissing);
    }
    jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    if (!main) {
        traceError("could not find main method");
        env->ExceptionClear();
        writeStandardError(mainMethodMissingText(className));
        fatalMessage(msg::MainMethodMissing);
    }
    std::vector<Utf16> params = mainArguments(arguments, win32VmSystem());
    trace("param count: %d", int(params.size()));
    jobjectArray array = javaArguments(env, params);
    trace("calling main");
    env->functions->CallStaticVoidMethod(env, mainClass, main, array);
    trace("main returned");
    jthrowable thrown = env->ExceptionOccurred();
    if (!thrown) return std::nullopt;
    traceError("an exception occured");
    // Read before it is described: the runtime library's own failures have said what
    // java says already, and are not described again.
    env->ExceptionClear();
    MainFailure failure{0, describeThrowable(env, thrown)};
    failure.message = mainExceptionMessage(failure.detail);
    if (failure.message == msg::ApplicationError) {
        env->Throw(thrown);
        env->ExceptionDescribe();
    }
    traceError("main threw %s", failure.detail.c_str());
    return failure;
}

}  // namespace

bool launchProgram(const std::vector<Utf16>& arguments, bool destroyVm) {
    trace("launching program");
    std::vector<std::string> properties = launcherProperties(currentPropertyValues());
    HeapShares shares{lookupInt(key::MaxHeapPercent), lookupInt(key::InitialHeapPercent), lookupInt(key::MaxHeapLimitMb)};
    if (shares.maxPercent || shares.initialPercent) {
        MEMORYSTATUSEX memory{};
        memory.dwLength = sizeof memory;
        if (GlobalMemoryStatusEx(&memory))
            for (std::string& option : heapOptions(memory.ullTotalPhys, shares)) properties.push_back(std::move(option));
    }
    appendModuleOptions(lookupString(key::MainModule), lookupString(key::ModulePath), win32VmSystem(), properties);
    if (!createVm(properties, arguments)) {
        traceError("could not initialize JVM");
        return false;
    }
    trace("JVM created");
    if (std::optional<MainFailure> failure = callMain(arguments)) {
        traceError("could not call main");
        // The application's own error names the exception; the library's failures have
        // said what they are on standard error.
        fatalMessage(failure->message, failure->message == msg::ApplicationError ? failure->detail.c_str() : nullptr);
    }
    if (destroyVm) {
        trace("dest JVM");
        // Waits for the application's non-daemon threads; its result changes nothing.
        vmHandles().vm->DestroyJavaVM();
    }
    trace("launch done");
    return true;
}

}  // namespace kestro
