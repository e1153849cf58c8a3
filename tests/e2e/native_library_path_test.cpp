// The native library directories of key 10004 in front of PATH, as the trace shows them
// and as the recording VM library finds PATH in both views of the environment.
#include "harness.h"

namespace kestro::e2e {
namespace {

using layout::JvmScript;

class NativeLibraryPath : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        useRuntime("jre", {.reportHost = true});
    }

    // The PATH the VM was created with: its library path option and both views of the
    // environment must agree.
    std::string pathAtVmCreation() {
        auto t = jvmTranscript(dir_ / "jre");
        std::vector<std::string> system = t.values("PATH (system) "), runtime = t.values("PATH (runtime) ");
        std::string option;
        for (const std::string& o : t.values("option "))
            if (o.starts_with("-Djava.library.path=")) option = o.substr(20);
        EXPECT_EQ(system.size(), 1u) << t.text();
        EXPECT_EQ(system, runtime);
        EXPECT_EQ(system.empty() ? "" : system[0], option);
        return option;
    }

    std::string bin() const { return normalised(dir_ / "jre" / "bin"); }
};

// Relative directories are made absolute against the launcher's directory, whatever the
// current directory, and variables are expanded (the other rules of the list, and an
// unset PATH, are the native tests').
TEST_F(NativeLibraryPath, DirectoriesGoInFrontOfPath) {
    const std::string configured = "lib;native\\\\x64;D:\\abs;${MY_LIBS}";
    set(key::NativeLibraryPath, configured);
    fs::create_directories(dir_ / "elsewhere");
    RunResult r = run(buildLauncher(), {.env = {{"PATH", "C:\\windows"}, {"MY_LIBS", "E:\\from variable"}},
                                        .cwd = dir_ / "elsewhere"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("native lib dir is " + configured)) << r.trace;
    std::string here = windowsPath(dir_) + "\\";
    std::string expected = here + "lib;" + here + "native\\x64;D:\\abs;E:\\from variable;C:\\windows";
    EXPECT_TRUE(r.traced("Setting PATH (native libs) " + expected)) << r.trace;
    EXPECT_EQ(pathAtVmCreation(), expected + ";" + bin());
}

// PATH is changed in UTF-16: entries that the code page lacks reach the VM's process
// environment as they were, never as look-alikes (an L for the Polish letter), which would name
// directories that any user may create.
TEST_F(NativeLibraryPath, EntriesOutsideTheCodePageStayAsTheyWere) {
    set(key::NativeLibraryPath, "lib");
    const std::string old = "C:\\\xC5\x81ukasz\\bin;C:\\\xCE\xA9mega\\bin";
    RunResult r = run(buildLauncher(), {.env = {{"PATH", old}}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> system = jvmTranscript(dir_ / "jre").values("PATH (system) ");
    ASSERT_EQ(system.size(), 1u);
    EXPECT_EQ(system[0], windowsPath(dir_) + "\\lib;" + old + ";" + bin());
}

// A PATH that would grow beyond what the system holds keeps the directories and the old
// PATH's leading entries whole, instead of losing the old PATH altogether; the runtime
// search then makes room for the runtime's bin directory the same way.
TEST_F(NativeLibraryPath, OverlongValueKeepsTheOldPathsLeadingEntries) {
    set(key::NativeLibraryPath, "lib");
    std::string old;
    for (int i = 0; old.size() < 32600; ++i) {
        std::string entry = "C:\\tools\\t" + std::to_string(i);
        entry.resize(99, 'x');
        old += (old.empty() ? "" : ";") + entry;
    }
    RunResult r = run(buildLauncher(), {.env = {{"PATH", old}}});
    std::string lib = windowsPath(dir_) + "\\lib;";
    auto value = r.tracedAfter("Setting PATH (native libs) ");
    ASSERT_TRUE(value) << r.trace.substr(0, 2000);
    ASSERT_TRUE(value->starts_with(lib));
    std::string kept = value->substr(lib.size());
    EXPECT_LE(value->size(), 32761u);
    EXPECT_GT(value->size(), 32761u - 100);  // only the entries that do not fit are left out
    EXPECT_EQ(old.substr(0, kept.size() + 1), kept + ";");
    EXPECT_TRUE(r.tracedPrefix("ERROR: PATH would exceed 32761 characters")) << r.trace.substr(0, 2000);

    // The runtime's bin directory still reaches PATH, in place of the last entries kept.
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string atVm = pathAtVmCreation();
    EXPECT_LE(atVm.size(), 32761u);
    EXPECT_TRUE(atVm.ends_with(";" + bin())) << atVm.substr(atVm.size() - 200);
    EXPECT_TRUE(value->starts_with(atVm.substr(0, atVm.size() - bin().size() - 1)));
}

}  // namespace
}  // namespace kestro::e2e
