// Finding a Java runtime and loading its VM library into the launcher's process.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

namespace kestro {

// The VM library's JNI_CreateJavaVM(JavaVM**, void** env, void* initArgs).
using CreateJavaVmFn = int32_t (*)(void** vm, void** env, void* initArgs);

// Finds a runtime, loads its jvm.dll and keeps its JNI_CreateJavaVM; sets runtimeHome
// whenever a runtime was chosen. False after exactly one report to the user.
[[nodiscard]] bool LoadDLL();

// The kept entry point; null until LoadDLL has succeeded.
CreateJavaVmFn createJavaVmEntry();

// Loads the VM library of the runtime of `javaExe` (with its bin directory added to
// PATH), trying the JDK's embedded runtime next; null when neither loads.
HMODULE loadJvmLibrary(const std::string& javaExe);

// Loads "<binDirectory>\<subDirectory>\jvm.dll"; null when it does not load.
HMODULE tryJvmLibrary(const std::string& binDirectory, std::string_view subDirectory);

}  // namespace kestro
