// The splash screen of whole launcher runs, seen through the stand-in splash library
// (bin\splashscreen.dll of the runtime found): when it is loaded, what it receives, and
// that a report closes it first.
#include <regex>

#include "harness.h"
#include "virtual_display.h"

namespace kestro::e2e {
namespace {

using layout::JvmScript;
using Texts = std::vector<std::string>;

const std::string kLoaded = "loaded, jvm.dll loaded 1";
const std::string kClosed = "splash stand-in: SplashClose\n";

// The splash image resource of a launcher: RT_RCDATA 10000, language neutral.
format::Resource imageResource(const std::string& bytes) {
    return {format::kRtRcdata, 10000, 0, std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

// A BMP file of `width` x `height` pixels all of colour `rgb` (0xRRGGBB): 24 bits a
// pixel, rows bottom-up, `width` a multiple of 4 so that rows need no padding.
std::string solidBitmap(uint32_t width, uint32_t height, uint32_t rgb) {
    std::string out = "BM";
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out += char(value >> (8 * i));
    };
    const uint32_t pixels = width * height * 3;
    for (auto [value, bytes] : std::initializer_list<std::pair<uint32_t, int>>{
             {54 + pixels, 4}, {0, 4}, {54, 4}, {40, 4}, {width, 4}, {height, 4}, {1, 2}, {24, 2}, {0, 4}, {pixels, 4},
             {2835, 4}, {2835, 4}, {0, 4}, {0, 4}})
        put(value, bytes);
    for (uint32_t i = 0; i < width * height; ++i) put(rgb, 3);
    return out;
}

class Splash : public LauncherTest {
protected:
    // Lays out a runtime in `name` with `splashLibrary` (none when empty), scripts its VM
    // library and makes it the one found.
    fs::path useSplashRuntime(const std::string& name, const std::string& splashLibrary, const JvmScript& script) {
        return useRuntime(name, script, {.vmLibraries = {"bin/server/jvm.dll"}, .splashLibrary = splashLibrary});
    }
    // The image bytes the stand-in received.
    static std::string received(const fs::path& home) { return readBytes(home / "bin" / "splashscreen.dll.image"); }
};

// Each way a splash is not shown, and the two ways it is, ahead of a fatal error: not
// asked for (key 108, key 10123, started hidden), nothing is loaded; a library that
// cannot be loaded or lacks a function costs one error trace line, none of its functions
// is called and the start goes on to the VM. Shown, the library is loaded once, right
// after the VM library, and gets the image's bytes (or no data and size 0 without an
// image resource); its result only reaches the trace, and the fatal error closes the
// splash before its report.
TEST_F(Splash, FatalErrorsCloseOnlyASplashThatWasShown) {
    const std::string noFunctions = "ERROR: Could not find functions in splashscreen\\.dll";
    const std::string image = everyByteValue(70001);
    const struct {
        const char* name;
        const char *splashScreen, *runtimeSplash;  // keys 108 and 10123
        std::optional<int> showWindow;
        std::string library, afterLoading;  // the trace line after the library's (a pattern); empty: not loaded
        Texts calls;                        // the library's transcript
        std::string image = "";
    } cases[] = {
        {"mechanismOff", "1", "0", {}, "splashscreen.dll", "", {}},
        {"notRequested", "0", "1", {}, "splashscreen.dll", "", {}},
        {"startedHidden", "1", "1", 0, "splashscreen.dll", "", {}},
        {"noLibrary", "1", "1", {}, "", "ERROR: Could not load splashscreen\\.dll", {}},
        {"noInit", "1", "1", {}, "splashscreen_without_init.dll", noFunctions, {kLoaded}},
        {"noLoadMemory", "1", "1", {}, "splashscreen_without_load_memory.dll", noFunctions, {kLoaded}},
        {"noClose", "1", "1", {}, "splashscreen_without_close.dll", noFunctions, {kLoaded}},
        {"noImage", "1", "1", {}, "splashscreen.dll", "splash load memory returned 7 \\(0{16}, 0{16}, 0\\)",
         {kLoaded, "SplashInit", "SplashLoadMemory size 0", "SplashClose"}},
        {"image", "1", "1", {}, "splashscreen.dll",
         "splash load memory returned 7 \\((?!0{16})[0-9A-F]{16}, (?!0{16})[0-9A-F]{16}, 70001\\)",
         {kLoaded, "SplashInit", "SplashLoadMemory size 70001", "SplashClose"}, image},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path home = useSplashRuntime(c.name, c.library, {.createResult = -6});
        writeBytes(home / "bin" / "splashscreen.dll.cfg", "result=7\n");
        set(key::SplashScreen, c.splashScreen);
        set(key::RuntimeSplash, c.runtimeSplash);
        resources_.clear();
        if (!c.image.empty()) resources_.push_back(imageResource(c.image));
        RunResult r = run(buildLauncher(std::string(c.name) + ".exe"), {.showWindow = c.showWindow});
        EXPECT_EQ(r.exitCode, 1);
        bool closed = !c.calls.empty() && c.calls.back() == "SplashClose";
        EXPECT_EQ(r.err, (closed ? kClosed : "") + r.reported(message(1005)));
        EXPECT_TRUE(jvmTranscript(home).has("JNI_CreateJavaVM returns -6"));
        EXPECT_EQ(splashTranscript(home).lines, c.calls) << splashTranscript(home).text();
        EXPECT_TRUE(received(home) == c.image);
        EXPECT_EQ(r.countTraced("ERROR: "), c.afterLoading.starts_with("ERROR: ") ? 2 : 1) << r.trace;
        EXPECT_EQ(r.countTraced("loading splashscreen dll"), c.afterLoading.empty() ? 0 : 1) << r.trace;
        if (c.afterLoading.empty()) continue;
        // The library's path below the runtime's home, which the search wrote through its bin directory.
        int loading = r.traceIndex("loading splashscreen dll from " + normalised(home / "bin") +
                                   "\\..\\bin\\splashscreen.dll");
        EXPECT_EQ(loading, r.traceIndex("Loading of JVM-DLL successful") + 1) << r.trace;
        Texts lines = r.traceLines();
        EXPECT_TRUE(loading > 0 && size_t(loading) + 1 < lines.size() &&
                    std::regex_match(lines[size_t(loading) + 1], std::regex(c.afterLoading)))
            << r.trace;
    }
}

// The splash on a virtual display. Both runs share one display and prefix, one after the
// other: a second display would fight the first over that prefix's desktop.
class SplashOnScreen : public Splash {
protected:
    void SetUp() override {
        Splash::SetUp();
        if (!display_.ok() || display_.winePrefix().empty()) GTEST_SKIP() << "no virtual display (Xvfb, xdotool)";
        if (!fs::exists("/usr/bin/xwd")) GTEST_SKIP() << "no xwd (x11-apps) for screenshots";
        onDisplay_.unixEnv = {{"DISPLAY", display_.name()}, {"WINEPREFIX", display_.winePrefix()}};
        set(key::SplashScreen, "1");
        set(key::RuntimeSplash, "1");
    }
    // How many pixels of `rgb` the screen shows; -1 when no screenshot could be taken.
    int shown(uint32_t rgb, const std::string& name) {
        return display_.pixelsOf(rgb, dir_ / (name + ".xwd")).value_or(-1);
    }
    VirtualDisplay display_{"wineprefix-splash"};
    RunOptions onDisplay_;
};

TEST_F(SplashOnScreen, OnScreenWhileTheVmStartsAndGoneBeforeAReport) {
    constexpr uint32_t kColour = 0xC03090;
    constexpr int kWidth = 240, kHeight = 160;
    const std::string bitmap = solidBitmap(kWidth, kHeight, kColour);
    const std::string loadMemory = "SplashLoadMemory size " + std::to_string(bitmap.size());
    resources_ = {imageResource(bitmap)};

    // The VM's main waits until the test has looked.
    fs::path go = dir_ / "go";
    fs::path home = useSplashRuntime("shown", "splashscreen.dll", {.mainWaitFor = windowsPath(go)});
    auto running = start(buildLauncher("shown.exe"), onDisplay_);
    ASSERT_TRUE(waitUntil([&] { return jvmTranscript(home).has("main waits") || !running->running(); }));
    int pixels = -1;
    // The window was shown before the VM was created; the X server may paint it a moment later.
    bool onScreen = waitUntil([&] { return (pixels = shown(kColour, "shown")) >= kWidth * kHeight; }, 30000);
    EXPECT_TRUE(onScreen) << pixels << " pixels of the splash's colour; " << splashTranscript(home).text();
    writeBytes(go, "");
    RunResult r = running->wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(received(home) == bitmap);
    EXPECT_EQ(splashTranscript(home).lines, (Texts{kLoaded, "SplashInit", loadMemory, "window shown 240x160"}))
        << splashTranscript(home).text();

    // A fatal error after the splash was shown: the report's box comes up with no splash
    // left on the screen.
    set(key::ApplicationType, "1");  // reports in message boxes
    home = useSplashRuntime("fatal", "splashscreen.dll", {.createResult = -6});
    running = start(buildLauncher("fatal.exe"), onDisplay_);
    bool box = waitUntil([&] { return display_.showing("Error") || !running->running(); });
    EXPECT_TRUE(box && display_.showing("Error")) << "no report box";
    EXPECT_EQ(shown(kColour, "fatal"), 0);
    EXPECT_TRUE(display_.answer("Error", "Return", [&] { return !running->running(); }));
    r = running->wait();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kClosed);  // the report went to the box
    auto t = splashTranscript(home);
    EXPECT_EQ(t.lines, (Texts{kLoaded, "SplashInit", loadMemory, "window shown 240x160", "SplashClose"})) << t.text();
}

}  // namespace
}  // namespace kestro::e2e
