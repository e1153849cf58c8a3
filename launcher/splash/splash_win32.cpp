#include "splash/splash.h"

#include <windows.h>

#include <string>

#include "common/win32_handles.h"
#include "config/config_tables.h"
#include "diagnostics/trace.h"
#include "runtime/runtime_home.h"
#include "runtime/runtime_library.h"

namespace kestro {

namespace {

constexpr WORD kSplashImageId = 10000;

using SplashInitFn = void (*)();
using SplashLoadMemoryFn = int (*)(void*, int);
using SplashCloseFn = void (*)();

struct SplashState {
    bool shown = false;
    SplashCloseFn close = nullptr;
};

SplashState& state() {
    static SplashState s;
    return s;
}

template <class Fn>
Fn entryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

void showSplash() {
    std::string bin = runtimeHome() + "\\bin";
    std::string path = bin + "\\splashscreen.dll";
    trace("loading splashscreen dll from %s", path.c_str());
    UniqueModule library(loadRuntimeLibrary(path, bin));
    if (!library) {
        traceError("Could not load splashscreen.dll");
        return;
    }
    // The splash library stays loaded for the life of the process, complete or not.
    HMODULE module = library.release();
    auto close = entryPoint<SplashCloseFn>(module, "SplashClose");
    auto init = entryPoint<SplashInitFn>(module, "SplashInit");
    auto loadMemory = entryPoint<SplashLoadMemoryFn>(module, "SplashLoadMemory");
    if (!close || !init || !loadMemory) {
        traceError("Could not find functions in splashscreen.dll");
        return;
    }
    init();
    // Without an image the library still gets its call, with no data and size 0.
    HMODULE executable = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(executable, MAKEINTRESOURCEA(kSplashImageId), MAKEINTRESOURCEA(10));
    HGLOBAL loaded = resource ? LoadResource(executable, resource) : nullptr;
    void* data = loaded ? LockResource(loaded) : nullptr;
    int size = data ? int(SizeofResource(executable, resource)) : 0;
    int result = loadMemory(data, size);
    trace("splash load memory returned %d (%p, %p, %d)", result, static_cast<void*>(resource), data, size);
    state().close = close;
    state().shown = true;
}

}  // namespace

bool splashShown() { return state().shown; }

void splashScreen(int showValue) {
    if (lookupInt(key::RuntimeSplash) == 0) return;
    SplashState& s = state();
    if (showValue == 0) {
        // Shown stays set: a later request to show the splash again does nothing.
        if (s.shown) s.close();
        return;
    }
    if (!s.shown) showSplash();
}

}  // namespace kestro
