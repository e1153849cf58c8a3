// The locale the launcher selects follows the user locale Wine is started with. Wine
// takes the user's default locale and interface language from LC_ALL, so both give the
// same answer here; which of them counts is shown by the unit tests.
#include "harness.h"

namespace kestro::e2e {
namespace {

using Locale = LauncherTest;

TEST_F(Locale, FollowsTheUserLocaleOfWine) {
    fs::path exe = buildLauncher();
    const std::pair<const char*, const char*> cases[] = {
        {"de_CH.UTF-8", "de_CH"},  // 0x0807
        {"fr_CA.UTF-8", "fr_CA"},  // 0x0C0C
        {"C.UTF-8", "en_US"},
    };
    for (const auto& [unixLocale, code] : cases) {
        RunResult r = run(exe, {.unixEnv = {{"LC_ALL", unixLocale}}});
        EXPECT_EQ(r.exitCode, 0) << unixLocale;
        int format = r.traceIndex("sun.locale.formatasdefault is true");
        EXPECT_GE(format, 0) << r.trace;
        EXPECT_GT(r.traceIndex(std::string("language/country is ") + code, format), format) << unixLocale << "\n"
                                                                                            << r.trace;
    }
}

}  // namespace
}  // namespace kestro::e2e
