// A launcher whose runtime's VM library hands the launch to the host's JDK, with the real
// runtime library: what only that stand-in shows, its translation of Wine's paths for a
// Linux java. (What a VM in the launcher's own process does is shown by real_vm_test.cpp.)
#include "harness.h"

#include <sstream>

namespace kestro::e2e {
namespace {

class HostRuntime : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        layOut("host", layout::hostRuntime());
        set(key::SearchList, "Rhost");
        set(key::ApplicationType, "2");  // reports on standard error
        set(key::MainClass, "com.kestro.testing.HostApp");
        set(key::IncludedCount, "2");
        set(key::IncludedNames, "kestro-runtime.jar;host_app.jar");
    }

    // A launcher that includes the runtime library and the application (see
    // tests/fixtures/java/com/kestro/testing/HostApp.java).
    fs::path launcher(const std::string& name) {
        return buildLauncher(name, {{"kestro-runtime.jar", buildDir() / "tool" / "kestro-runtime.jar"},
                                    {"host_app.jar", fixturesDir() / "host_app.jar"}});
    }

    // The value of the application's output line "NAME: VALUE".
    static std::string printed(const RunResult& r, const std::string& name) {
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(name + ": ", 0) == 0) return line.substr(name.size() + 2);
        return "(not printed)";
    }
};

// Wine's own temporary directory lies on drive C:, whose Linux paths run through the
// link "dosdevices/c:"; java must not take that colon for a class path separator.
TEST_F(HostRuntime, RunsFromATemporaryDirectoryOnDriveC) {
    const std::string name = "kestro-e2e-host-runtime";
    fs::path root = buildDir() / "wineprefix" / "drive_c" / name;
    fs::remove_all(root);
    fs::create_directories(root);
    RunResult r =
        run(launcher("app.exe"), {.env = {{"TMP", "C:\\" + name}, {"TEMP", "C:\\" + name}}, .traceDir = root});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    fs::path dir = printed(r, "kestro.tempDir");
    EXPECT_EQ(dir.parent_path(), buildDir() / "wineprefix" / "dosdevices" / "c:" / name);
    EXPECT_EQ(printed(r, "app class from"), "file:" + (fs::canonical(root) / dir.filename() / "host_app.jar").string());
    EXPECT_TRUE(r.out.ends_with("main returning\n")) << r.out;
    EXPECT_FALSE(fs::exists(dir)) << dir;
    EXPECT_TRUE(runDirectories(root).empty());
    fs::remove_all(root);
}

}  // namespace
}  // namespace kestro::e2e
