// A launcher stored below a directory whose name the ANSI code page cannot show opens
// itself through its short path.
#include "harness.h"

#include "format/config_keys.h"

namespace kestro::e2e {
namespace {

class ModulePath : public LauncherTest {};

TEST_F(ModulePath, NameOutsideTheCodePageStillReadsTheBlock) {
    // Cyrillic, of which code page 1252 has nothing; Greek, of which the conversion could
    // make a look-alike ("Omega") that names no directory.
    for (const std::string name : {"\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82", "\xCE\xA9mega"}) {
        SCOPED_TRACE(name);
        fs::path home = dir_ / name;
        fs::create_directories(home);
        set(key::SearchList, "R..\\jre");
        fs::path exe = buildLauncher(name + ".exe");
        fs::rename(exe, home / "app.exe");
        RunResult r = run(home / "app.exe");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(r.tracedPrefix("number of sections: ")) << r.trace;
        EXPECT_TRUE(r.traced("Loading of JVM-DLL successful"));
    }
}

}  // namespace
}  // namespace kestro::e2e
