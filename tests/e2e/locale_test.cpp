// The locale the launcher selects follows the user locale Wine is started with. Wine
// takes the user's default locale and interface language from LC_ALL, so both give the
// same answer here; which of them counts is shown by the unit tests.
#include "harness.h"

namespace kestro::e2e {
namespace {

class Locale : public LauncherTest {};

TEST_F(Locale, FollowsTheUserLocaleOfWine) {
    fs::path exe = buildLauncher();
    const std::pair<const char*, const char*> cases[] = {
        {"de_CH.UTF-8", "de_CH"},  // 0x0807
        {"fr_CA.UTF-8", "fr_CA"},  // 0x0C0C
        {"nl_BE.UTF-8", "nl_BE"},  // 0x0813
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

TEST_F(Locale, FormatOptionAsksForTheInterfaceLanguage) {
    fs::path exe = buildLauncher();
    RunResult r = run(exe, {.arguments = "-Dsun.locale.formatasdefault=true -Dsun.locale.formatasdefault=false",
                            .unixEnv = {{"LC_ALL", "de_CH.UTF-8"}}});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.traced("sun.locale.formatasdefault is false")) << r.trace;
    EXPECT_TRUE(r.traced("language/country is de_CH")) << r.trace;
}

}  // namespace
}  // namespace kestro::e2e
