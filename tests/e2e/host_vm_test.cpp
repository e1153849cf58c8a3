// The host-runtime VM library, driven through the invocation API as the launcher drives
// it, with the sample launcher class of the test tree run by the host's JDK.
#include "harness.h"

namespace kestro::e2e {
namespace {

class HostVm : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        home_ = layOut("host", layout::hostRuntime());
        jar_ = dir_ / "app dir" / "sample.jar";
        fs::create_directories(jar_.parent_path());
        fs::copy_file(fixturesDir() / "host_sample.jar", jar_);
    }

    // The driver on the sample class with the class path of its jar, then `rest`.
    RunResult drive(const std::string& rest) {
        return driveVm(home_, "com/kestro/testing/SampleLauncher \"-Djava.class.path=" + windowsPath(jar_) + "\" " + rest);
    }

    layout::VmTranscript transcript() const { return jvmTranscript(home_); }

    fs::path home_, jar_;
};

TEST_F(HostVm, RunsTheLauncherClassWithItsArgumentsOptionsAndOutput) {
    const std::string unicode = "\xCE\xA9mega \xE6\x97\xA5\xE6\x9C\xAC";  // beyond any ANSI code page
    RunResult r = driveVm(home_, "com/kestro/testing/SampleLauncher "
                                 "\"-Djava.class.path=Z:\\nowhere\\x.jar;" + windowsPath(jar_) + "\" "
                                 "\"-Dsample.path=" + windowsPath(tmp_) + "\" -Dsample.plain=a;b "
                                 "-Djava.library.path=C:\\windows -Xmx64m "
                                 "-Dsample.print=sample.path,sample.plain,java.class.path "
                                 "+firstRun=com/kestro/testing/SampleLauncher "
                                 "-- app.exe \"b c\" \"" + unicode + "\" \"quote\\\"d\" \"\"");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // The class path as the application sees it: translated, without the bridge.
    EXPECT_EQ(r.out, "driver: VM created\n"
                     "firstRun called\n"
                     "driver: calling main\n"
                     "arg 0: app.exe\n"
                     "arg 1: b c\n"
                     "arg 2: " + unicode + "\n"
                     "arg 3: quote\"d\n"
                     "arg 4: \n"
                     "property sample.path: " + tmp_.string() + "\n"
                     "property sample.plain: a;b\n"
                     "property java.class.path: /nowhere/x.jar:" + jar_.string() + "\n"
                     "main returning\n"
                     "driver: main returned\n"
                     "driver: VM destroyed\n");
    auto t = transcript();
    EXPECT_EQ(t.values("host option "),
              (std::vector<std::string>{"-Djava.class.path=/nowhere/x.jar:" + jar_.string() + ":" +
                                            (home_ / "bin" / "server" / "host_bridge.jar").string(),
                                        "-Dsample.path=" + tmp_.string(), "-Dsample.plain=a;b", "-Xmx64m",
                                        "-Dsample.print=sample.path,sample.plain,java.class.path"}))
        << t.text();
    EXPECT_EQ(t.values("dropped option "), std::vector<std::string>{"-Djava.library.path=C:\\windows"});
    EXPECT_EQ(t.lines.back(), "host java ended 0");
    for (const auto& entry : fs::directory_iterator(home_ / "bin" / "server"))  // the run directory is gone
        EXPECT_EQ(entry.path().filename().string().find(".run"), std::string::npos) << entry.path();
}

// The launcher ends without destroying the VM after main threw: java ends with it, even
// with a non-daemon thread still waiting.
TEST_F(HostVm, AnExceptionOfMainIsDescribedAndJavaEndsWithTheLauncher) {
    RunResult r = drive("-Dsample.action=thread:" + (dir_ / "never").string() + ",throw -- x");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "driver: VM created\ndriver: calling main\narg 0: x\ndriver: main returned\ndriver: main threw\n");
    EXPECT_EQ(r.err.rfind("Exception in thread \"main\" java.lang.IllegalStateException: sample failure\n"
                          "\tat com.kestro.testing.SampleLauncher.main(SampleLauncher.java:",
                          0),
              0u)
        << r.err;
    EXPECT_EQ(r.err.find("HostBridge"), std::string::npos) << r.err;
    auto t = transcript();
    EXPECT_EQ(t.lines.back(), "host java ended 1") << t.text();
    EXPECT_FALSE(t.has("DestroyJavaVM"));
}

TEST_F(HostVm, FirstRunRunsInJavaToo) {
    RunResult no = drive("-Dsample.firstRun=false +firstRun=com/kestro/testing/SampleLauncher");
    EXPECT_EQ(no.exitCode, 0) << no.err;
    EXPECT_EQ(no.out, "driver: VM created\nfirstRun called\ndriver: first run stopped the start\ndriver: VM destroyed\n");

    RunResult fails = drive("-Dsample.firstRun=throw +firstRun=com/kestro/testing/SampleLauncher");
    EXPECT_EQ(fails.exitCode, 0) << fails.err;
    EXPECT_EQ(fails.out, no.out);
    EXPECT_EQ(fails.err.rfind("Exception in thread \"main\" java.lang.IllegalStateException: first run failure\n", 0),
              0u)
        << fails.err;
}

TEST_F(HostVm, FailuresOfJavaComeBackAsTheVmWould) {
    // An option the host VM rejects: java ends before the bridge is ready.
    RunResult option = drive("-XX:+NoSuchOptionAnywhere");
    EXPECT_EQ(option.exitCode, 112);
    EXPECT_EQ(option.out, "driver: JNI_CreateJavaVM returned -1\n");
    EXPECT_NE(option.err.find("Unrecognized VM option 'NoSuchOptionAnywhere'"), std::string::npos) << option.err;

    // A launcher class that is not there: the lookup in Java fails at the call.
    RunResult missing = driveVm(home_, "com/kestro/testing/Absent \"-Djava.class.path=" + windowsPath(jar_) + "\"");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Exception in thread \"main\" java.lang.NoClassDefFoundError: com/kestro/testing/Absent\n");
}

}  // namespace
}  // namespace kestro::e2e
