// The splash screen of whole launcher runs, seen through the stand-in splash library
// (bin\splashscreen.dll of the runtime found): when it is loaded, what it receives, and
// that a report closes it first.
#include <cstdio>

#include "harness.h"
#include "virtual_display.h"

namespace kestro::e2e {
namespace {

using layout::JvmScript;
using Texts = std::vector<std::string>;

const std::string kLoaded = "loaded, jvm.dll loaded 1";
const std::string kNoImage = "SplashLoadMemory size 0 crc32 00000000";
const std::string kClosed = "splash stand-in: SplashClose\n";

// The CRC-32 (as zip and PNG use it) of `bytes`, as the stand-in records it.
std::string crc32Hex(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", unsigned(~crc));
    return text;
}

// The splash image resource of a launcher: RT_RCDATA 10000, language neutral.
format::Resource imageResource(const std::string& bytes) {
    return {format::kRtRcdata, 10000, 0, std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

// A BMP file of `width` x `height` pixels all of colour `rgb` (0xRRGGBB; 24 bits a pixel,
// rows bottom-up and padded to four bytes).
std::string solidBitmap(int width, int height, uint32_t rgb) {
    const size_t row = (size_t(width) * 3 + 3) / 4 * 4, pixels = row * size_t(height), offset = 14 + 40;
    std::string out;
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out += char(uint8_t(value >> (8 * i)));
    };
    out += "BM";
    put(uint32_t(offset + pixels), 4);
    put(0, 4);
    put(uint32_t(offset), 4);
    put(40, 4);  // BITMAPINFOHEADER
    put(uint32_t(width), 4);
    put(uint32_t(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);  // BI_RGB
    put(uint32_t(pixels), 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            out += char(uint8_t(rgb));
            out += char(uint8_t(rgb >> 8));
            out += char(uint8_t(rgb >> 16));
        }
        out.append(row - size_t(width) * 3, '\0');
    }
    return out;
}

class Splash : public LauncherTest {
protected:
    // Lays out a runtime in `name` with `splashLibrary` (none when empty), scripts its VM
    // library, makes it the one found and asks for the splash.
    fs::path useSplashRuntime(const std::string& name, const std::string& splashLibrary = "splashscreen.dll",
                              const JvmScript& script = {}) {
        layout::RuntimeLayout runtime = loadable();
        runtime.splashLibrary = splashLibrary;
        fs::path home = useRuntime(name, script, runtime);
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

// Each way a splash is not shown, and the one without an image, ahead of a fatal error:
// not asked for (key 108, key 10123, started hidden), nothing is loaded; a library that
// cannot be loaded or lacks a function costs one error trace line, none of its functions
// is called and the start goes on to the VM. Without an image resource the library gets
// no data and size 0, and the splash counts as shown: the fatal error closes it before
// its report.
TEST_F(Splash, FatalErrorsCloseOnlyASplashThatWasShown) {
    const std::string noFunctions = "ERROR: Could not find functions in splashscreen.dll";
    const struct {
        const char* name;
        const char *splashScreen, *runtimeSplash;  // keys 108 and 10123
        std::optional<int> showWindow;
        std::string library, afterLoading;  // the trace line after the library's; empty: not loaded
        Texts calls;                        // the library's transcript
    } cases[] = {
        {"mechanismOff", "1", "0", {}, "splashscreen.dll", "", {}},
        {"notRequested", "0", "1", {}, "splashscreen.dll", "", {}},
        {"startedHidden", "1", "1", 0, "splashscreen.dll", "", {}},
        {"noLibrary", "1", "1", {}, "", "ERROR: Could not load splashscreen.dll", {}},
        {"noInit", "1", "1", {}, "splashscreen_without_init.dll", noFunctions, {kLoaded}},
        {"noLoadMemory", "1", "1", {}, "splashscreen_without_load_memory.dll", noFunctions, {kLoaded}},
        {"noClose", "1", "1", {}, "splashscreen_without_close.dll", noFunctions, {kLoaded}},
        {"noImage", "1", "1", {}, "splashscreen.dll",
         "splash load memory returned 1 (0000000000000000, 0000000000000000, 0)",
         {kLoaded, "SplashInit", kNoImage, "SplashClose"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path home = useSplashRuntime(c.name, c.library, {.createResult = -6});
        set(key::SplashScreen, c.splashScreen);
        set(key::RuntimeSplash, c.runtimeSplash);
        RunResult r = run(buildLauncher(std::string(c.name) + ".exe"), {.showWindow = c.showWindow});
        EXPECT_EQ(r.exitCode, 1);
        bool closed = !c.calls.empty() && c.calls.back() == "SplashClose";
        EXPECT_EQ(r.err, (closed ? kClosed : "") + r.reported(message(1005)));
        EXPECT_TRUE(jvmTranscript(home).has("JNI_CreateJavaVM returns -6"));
        EXPECT_EQ(splashTranscript(home).lines, c.calls) << splashTranscript(home).text();
        EXPECT_EQ(r.countTraced("ERROR: "), c.afterLoading.starts_with("ERROR: ") ? 2 : 1) << r.trace;
        if (c.afterLoading.empty()) {
            EXPECT_FALSE(r.tracedPrefix("loading splashscreen dll")) << r.trace;
            continue;
        }
        int loading = r.traceIndex(tracedLibrary(home));
        EXPECT_EQ(loading, r.traceIndex("Loading of JVM-DLL successful") + 1) << r.trace;
        EXPECT_EQ(r.traceIndex(c.afterLoading), loading + 1) << r.trace;
    }
}

// Shown after the VM library was loaded, from the runtime's bin directory, with the
// image's bytes; the library's result only reaches the trace, and a successful start
// leaves the splash up.
TEST_F(Splash, ShownAfterTheVmLibraryWithTheImagesBytes) {
    fs::path home = useSplashRuntime("jre1");
    writeBytes(home / "bin" / "splashscreen.dll.cfg", "result=7\n");
    const std::string image = everyByteValue(70001);
    resources_ = {imageResource(image)};
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    int loaded = r.traceIndex("Loading of JVM-DLL successful");
    int loading = r.traceIndex(tracedLibrary(home));
    ASSERT_GE(loaded, 0) << r.trace;
    EXPECT_EQ(loading, loaded + 1) << r.trace;
    Texts lines = r.traceLines();
    ASSERT_GT(int(lines.size()), loading + 1) << r.trace;
    const std::string& result = lines[size_t(loading) + 1];
    EXPECT_TRUE(result.starts_with("splash load memory returned 7 (")) << result;
    EXPECT_TRUE(result.ends_with(", 70001)")) << result;
    EXPECT_EQ(result.find("0000000000000000"), std::string::npos) << result;  // a resource and its data
    EXPECT_EQ(r.countTraced("ERROR: "), 0) << r.trace;
    EXPECT_EQ(r.countTraced("loading splashscreen dll"), 1) << r.trace;
    EXPECT_EQ(splashTranscript(home).lines,
              (Texts{kLoaded, "SplashInit", "SplashLoadMemory size 70001 crc32 " + crc32Hex(image)}))
        << splashTranscript(home).text();
    auto vm = jvmTranscript(home);
    EXPECT_TRUE(vm.has("JNI_CreateJavaVM returns 0") && vm.has("DestroyJavaVM")) << vm.text();
}

// The splash on a virtual display. Both runs share one display and prefix, one after the
// other: a second display would fight the first over that prefix's desktop.
class SplashOnScreen : public Splash {
protected:
    void SetUp() override {
        Splash::SetUp();
        if (!display_.ok() || display_.winePrefix().empty()) GTEST_SKIP() << "no virtual display (Xvfb, xdotool)";
        if (!fs::exists("/usr/bin/xwd")) GTEST_SKIP() << "no xwd (x11-apps) for screenshots";
    }
    RunOptions onDisplay() {
        RunOptions options;
        options.unixEnv = {{"DISPLAY", display_.name()}, {"WINEPREFIX", display_.winePrefix()}};
        return options;
    }
    // How many pixels of `rgb` the screen shows; -1 when no screenshot could be taken.
    int shown(uint32_t rgb, const std::string& name) {
        auto shot = display_.screenshot(dir_ / (name + ".xwd"));
        return shot ? shot->count(rgb) : -1;
    }
    VirtualDisplay display_{"wineprefix-splash"};
};

TEST_F(SplashOnScreen, OnScreenWhileTheVmStartsAndGoneBeforeAReport) {
    constexpr uint32_t kColour = 0xC03090;
    constexpr int kWidth = 240, kHeight = 160;
    const std::string bitmap = solidBitmap(kWidth, kHeight, kColour);
    const std::string received =
        "SplashLoadMemory size " + std::to_string(bitmap.size()) + " crc32 " + crc32Hex(bitmap);
    resources_ = {imageResource(bitmap)};

    // The VM's main waits until the test has looked.
    fs::path go = dir_ / "go";
    fs::path home = useSplashRuntime("shown", "splashscreen.dll", {.mainWaitFor = windowsPath(go)});
    auto running = start(buildLauncher("shown.exe"), onDisplay());
    ASSERT_TRUE(waitUntil([&] { return jvmTranscript(home).has("main waits") || !running->running(); }));
    int pixels = -1;
    // The window was shown before the VM was created; the X server may paint it a moment later.
    bool onScreen = waitUntil([&] { return (pixels = shown(kColour, "shown")) >= kWidth * kHeight; }, 30000);
    EXPECT_TRUE(onScreen) << pixels << " pixels of the splash's colour; " << splashTranscript(home).text();
    writeBytes(go, "");
    RunResult r = running->wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(splashTranscript(home).lines, (Texts{kLoaded, "SplashInit", received, "window shown 240x160"}))
        << splashTranscript(home).text();

    // A fatal error after the splash was shown: the report's box comes up with no splash
    // left on the screen.
    set(key::ApplicationType, "1");  // reports in message boxes
    home = useSplashRuntime("fatal", "splashscreen.dll", {.createResult = -6});
    running = start(buildLauncher("fatal.exe"), onDisplay());
    bool box = waitUntil([&] { return display_.showing("Error") || !running->running(); });
    EXPECT_TRUE(box && display_.showing("Error")) << "no report box";
    EXPECT_EQ(shown(kColour, "fatal"), 0);
    EXPECT_TRUE(display_.answer("Error", "Return", [&] { return !running->running(); }));
    r = running->wait();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kClosed);  // the report went to the box
    auto t = splashTranscript(home);
    EXPECT_EQ(t.lines, (Texts{kLoaded, "SplashInit", received, "window shown 240x160", "SplashClose"})) << t.text();
}

}  // namespace
}  // namespace kestro::e2e
