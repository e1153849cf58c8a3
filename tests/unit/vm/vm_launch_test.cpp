// The launcher's system properties, the VM's option order and the arguments of main.
#include <gtest/gtest.h>

#include "config/config_tables.h"
#include "startup/launcher_state.h"
#include "support/fake_vm_system.h"
#include "support/trace_recorder.h"
#include "vm/main_arguments.h"
#include "vm/vm_init_options.h"

namespace kestro {
namespace {

using testing::fakeVm;
using Texts = std::vector<std::string>;
using Arguments = std::vector<Utf16>;

class VmLaunch : public ::testing::Test {
protected:
    void SetUp() override { testing::resetFakeVm(); }
    static void set(ConfigKey key, const std::string& value) { configTables().strings[key] = value; }
    static Arguments mainArgs(const Arguments& commandLine) {
        return mainArguments(commandLine, testing::fakeVmSystem());
    }
    // main's arguments after the five launcher arguments.
    static Arguments programArgs(const Arguments& commandLine) {
        Arguments all = mainArgs(commandLine);
        return Arguments(all.begin() + 5, all.end());
    }
};

TEST_F(VmLaunch, PropertiesComeInOrderWithTheirConditions) {
    LauncherPropertyValues values{.semaphoreName = "kst_sem_1", .velmora = true, .modulePath = "C:\\App\\app.exe",
                                  .processCommFile = "C:\\Temp\\kst_p42.tmp", .tempDir = "C:\\Temp\\kst1.tmp_dir1",
                                  .unextractedPosition = 4096, .path = "C:\\jre\\bin;C:\\Windows",
                                  .consoleOutputCodePage = 850};
    EXPECT_EQ(launcherProperties(values),
              (Texts{"-Dkestro.semaphoreName=kst_sem_1", "-Dkestro.isVelmora=true",
                     "-Dkestro.moduleName=C:\\App\\app.exe", "-Dsun.java.command=C:\\App\\app.exe",
                     "-Dkestro.processCommFile=C:\\Temp\\kst_p42.tmp",
                     "-Dkestro.tempDir=C:\\Temp\\kst1.tmp_dir1", "-Dkestro.unextractedPosition=4096",
                     "-Djava.library.path=C:\\jre\\bin;C:\\Windows", "-Dkestro.consoleCodepage=cp850"}));

    LauncherPropertyValues plain{.modulePath = "C:\\App\\app.exe", .langRestart = true, .unextractedPosition = 4096,
                                 .manPathSet = true};
    EXPECT_EQ(launcherProperties(plain),
              (Texts{"-Dkestro.moduleName=C:\\App\\app.exe", "-Dsun.java.command=C:\\App\\app.exe", "-Dkestro.tempDir=",
                     "-Dkestro.unextractedPosition=-1", "-Djava.library.path="}));
}

TEST_F(VmLaunch, LauncherArgumentsFollowTheirKeys) {
    set(key::MainClass, "com.example.Main");
    set(key::ApplicationType, "1");
    set(key::LauncherFlag, "2");
    set(key::RedirectStderr, "1");
    set(key::StderrFile, "${LOGS}\\..\\err.log");
    set(key::StdoutFile, "out.log");  // its switch, key 104, is off
    fakeVm().environment["LOGS"] = "logs";
    EXPECT_EQ(mainArgs({}), (Arguments{u"true", u"com.example.Main", u"C:\\App\\err.log", u"", u"true"}));

    set(key::ApplicationType, "2");
    set(key::LauncherFlag, "0");
    set(key::StderrFile, "$stderr");
    set(key::RedirectStdout, "1");
    EXPECT_EQ(mainArgs({}), (Arguments{u"false", u"com.example.Main", u"$stderr", u"C:\\App\\out.log", u"false"}));
}

TEST_F(VmLaunch, MainGetsTheExecutableFixedArgumentsAndTheUsersArguments) {
    // app.exe a "b c", as the command line splitter gives it.
    EXPECT_EQ(programArgs({u"app.exe", u"a", u"b c"}), (Arguments{u"app.exe", u"a", u"b c"}));

    set(key::ProgramArguments, "--home ${KESTRO_EXEDIR} 'x y'");
    const Arguments commandLine{u"app.exe", u"-J-Xmx64m", u"-Dsun.locale.formatasdefault=true", u"-q",
                                u"\u00e9\u4e2d\U0001F600", u"-Jlast"};
    EXPECT_EQ(programArgs(commandLine), (Arguments{u"app.exe", u"--home", u"C:\\App\\", u"x y", u"-J-Xmx64m", u"-q",
                                                   u"\u00e9\u4e2d\U0001F600", u"-Jlast"}));
    set(key::JavaOptionArguments, "1");
    EXPECT_EQ(programArgs(commandLine),
              (Arguments{u"app.exe", u"--home", u"C:\\App\\", u"x y", u"-q", u"\u00e9\u4e2d\U0001F600"}));
}

TEST_F(VmLaunch, OptionsRunFromThePropertiesToTheClassPath) {
    set(key::VmOptions, "-Dkey=1 '-classpath/a key.jar'");
    set(key::JavaOptionArguments, "1");
    set(key::ClassPath, "A0app.jar");
    fakeVm().files["C:\\App\\app.vmoptions"] = "-Dfile=1\n-classpath/a file.jar\n";
    VmOptionList options;
    EXPECT_FALSE(gatherVmOptions({"-Dprop=1"}, {u"app.exe", u"-J-Dj=1", u"-Dsun.locale.formatasdefault=true"},
                                 testing::fakeVmSystem(), options));
    const Texts expected{"-Dprop=1", "-Dkey=1", "-Dj=1", "-Dsun.locale.formatasdefault=true", "-Dfile=1",
                         "-Djava.class.path=C:\\App\\app.jar;file.jar"};
    EXPECT_EQ(options, expected);
    // The trace lists them from index 0 after their count.
    Texts listed{"vmoption count 6"};
    for (size_t i = 0; i < expected.size(); ++i) listed.push_back("vmoption " + std::to_string(i) + ": " + expected[i]);
    const Texts& lines = testing::tracedLines();
    EXPECT_EQ(Texts(lines.end() - long(std::min(lines.size(), listed.size())), lines.end()), listed);

    set(key::ClassPath, "A1missing.jar");
    auto failure = gatherVmOptions({}, {}, testing::fakeVmSystem(), options);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->name, "missing.jar");
}

}  // namespace
}  // namespace kestro
