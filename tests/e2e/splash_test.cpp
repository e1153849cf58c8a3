// The splash screen of whole launcher runs, seen through the stand-in splash library
// (bin\splashscreen.dll of the runtime found): when it is loaded, what it receives, and
// that a report closes it first.
#include "harness.h"

namespace kestro::e2e {
namespace {

using layout::JvmScript;
using Texts = std::vector<std::string>;

const std::string kLoaded = "loaded, jvm.dll loaded 1";
const std::string kNoImage = "SplashLoadMemory size 0 crc32 00000000";
const std::string kClosed = "splash stand-in: SplashClose\n";

class Splash : public LauncherTest {
protected:
    // Lays out a runtime in `name` with `splashLibrary` (none when empty), scripts its VM
    // library, makes it the one found and asks for the splash.
    fs::path useRuntime(const std::string& name, const std::string& splashLibrary = "splashscreen.dll",
                        const JvmScript& script = {}) {
        layout::RuntimeLayout runtime = loadable();
        runtime.splashLibrary = splashLibrary;
        fs::path home = layOut(name, runtime);
        scriptJvm(home, script);
        set(key::SearchList, "R" + name);
        set(key::SplashScreen, "1");
        set(key::RuntimeSplash, "1");
        return home;
    }

    // The library's path as the trace names it: below the runtime's home, which the
    // search wrote through its bin directory.
    static std::string tracedLibrary(const fs::path& home) {
        return "loading splashscreen dll from " + normalised(home / "bin") + "\\..\\bin\\splashscreen.dll";
    }
};

// Whenever the splash is not asked for, no library is loaded, and a fatal error later
// has nothing to close.
TEST_F(Splash, NotAskedForLoadsNoLibrary) {
    struct Case {
        const char* name;
        const char* splashScreen;  // key 108
        const char* runtimeSplash;  // key 10123
        std::optional<int> showWindow;
    };
    const Case cases[] = {
        {"mechanismOff", "1", "0", std::nullopt},
        {"notRequested", "0", "1", std::nullopt},
        {"startedHidden", "1", "1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path home = useRuntime(c.name, "splashscreen.dll", {.createResult = -6});
        set(key::SplashScreen, c.splashScreen);
        set(key::RuntimeSplash, c.runtimeSplash);
        RunResult r = run(buildLauncher(std::string(c.name) + ".exe"), {.showWindow = c.showWindow});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, r.reported(message(1005)));
        EXPECT_TRUE(jvmTranscript(home).has("JNI_CreateJavaVM returns -6"));
        EXPECT_FALSE(fs::exists(home / "bin" / "splashscreen.dll.transcript"));
        EXPECT_FALSE(r.tracedPrefix("loading splashscreen dll")) << r.trace;
    }
}

// A library that cannot be loaded or lacks a function costs one error trace; the start
// goes on to the VM, and a fatal error then has no splash to close.
TEST_F(Splash, AMissingLibraryOrFunctionIsTracedAndTheStartGoesOn) {
    struct Case {
        const char* name;
        std::string library;
        std::string error;
    };
    const std::string noFunctions = "ERROR: Could not find functions in splashscreen.dll";
    const Case cases[] = {
        {"noLibrary", "", "ERROR: Could not load splashscreen.dll"},
        {"noInit", "splashscreen_without_init.dll", noFunctions},
        {"noLoadMemory", "splashscreen_without_load_memory.dll", noFunctions},
        {"noClose", "splashscreen_without_close.dll", noFunctions},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path home = useRuntime(c.name, c.library, {.createResult = -6});
        RunResult r = run(buildLauncher(std::string(c.name) + ".exe"));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, r.reported(message(1005)));
        int loading = r.traceIndex(tracedLibrary(home));
        EXPECT_GE(loading, 0) << r.trace;
        EXPECT_EQ(r.traceIndex(c.error), loading + 1) << r.trace;
        EXPECT_EQ(r.countTraced("ERROR: "), 2) << r.trace;  // and the VM's own failure
        EXPECT_FALSE(r.tracedPrefix("splash load memory returned")) << r.trace;
        EXPECT_TRUE(jvmTranscript(home).has("JNI_CreateJavaVM returns -6"));
        // Loaded, found incomplete and left alone: none of its functions was called.
        Texts expected = c.library.empty() ? Texts{} : Texts{kLoaded};
        EXPECT_EQ(splashTranscript(home).lines, expected) << splashTranscript(home).text();
    }
}

// Without an image resource the library gets no data and size 0, the result is traced,
// and the splash still counts as shown: a fatal error closes it before its report.
TEST_F(Splash, WithoutAnImageTheLibraryGetsNothingAndIsStillClosed) {
    fs::path home = useRuntime("jre0", "splashscreen.dll", {.createResult = -6});
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kClosed + r.reported(message(1005)));
    int loaded = r.traceIndex("Loading of JVM-DLL successful");
    int loading = r.traceIndex(tracedLibrary(home));
    ASSERT_GE(loaded, 0) << r.trace;
    EXPECT_EQ(loading, loaded + 1) << r.trace;
    EXPECT_EQ(r.traceIndex("splash load memory returned 1 (0000000000000000, 0000000000000000, 0)"), loading + 1)
        << r.trace;
    EXPECT_EQ(r.countTraced("ERROR: "), 1) << r.trace;
    EXPECT_EQ(splashTranscript(home).lines, (Texts{kLoaded, "SplashInit", kNoImage, "SplashClose"}))
        << splashTranscript(home).text();
}

}  // namespace
}  // namespace kestro::e2e
