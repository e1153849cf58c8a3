// The splash's requests from inside one process, where `splashShown` lives: what each
// show and close request does with the stand-in splash library before and after the
// image was handed over. The state is never reset, so one test walks the whole way.
#include "runtime/runtime_home.h"
#include "splash/splash.h"
#include "support/win32_test.h"

namespace kestro::test {
namespace {

using SplashRequests = Win32Test;
using Texts = std::vector<std::string>;

TEST_F(SplashRequests, OnlyTheFirstShowLoadsAndOnlyAShownSplashCloses) {
    fs::path home = layOut("jre", {.splashLibrary = "splashscreen.dll"});
    fs::path library = home / "bin" / "splashscreen.dll";
    runtimeHome() = text(home);
    auto calls = [&] {  // the record of loading names this test program's other libraries
        Texts lines = layout::vmLibraryTranscript(library).lines;
        return lines.empty() ? lines : Texts(lines.begin() + 1, lines.end());
    };

    // Without key 10123 neither request does anything.
    splashScreen(1);
    splashScreen(0);
    EXPECT_FALSE(fs::exists(library.string() + ".transcript"));
    EXPECT_FALSE(splashShown());

    setKey(10123, "1");
    splashScreen(0);  // nothing shown yet, nothing to close
    EXPECT_FALSE(fs::exists(library.string() + ".transcript"));
    splashScreen(1);
    EXPECT_TRUE(splashShown());
    splashScreen(5);  // a second request to show loads nothing more
    EXPECT_EQ(calls(), (Texts{"SplashInit", "SplashLoadMemory size 0 crc32 00000000"}));

    splashScreen(0);
    splashScreen(1);  // shown stays set: closed is not shown again
    EXPECT_TRUE(splashShown());
    EXPECT_EQ(calls(), (Texts{"SplashInit", "SplashLoadMemory size 0 crc32 00000000", "SplashClose"}));

    int loading = 0;
    for (const std::string& line : trace_.lines()) loading += line.rfind("loading splashscreen dll from ", 0) == 0;
    EXPECT_EQ(loading, 1) << trace_.text();
    EXPECT_TRUE(trace_.has("loading splashscreen dll from " + text(home) + "\\bin\\splashscreen.dll")) << trace_.text();
    runtimeHome().clear();
}

}  // namespace
}  // namespace kestro::test
