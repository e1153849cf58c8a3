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
                                  .consoleOutputCodePage = 850, .oemCodePage = 437};
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
    plain.manPathSet = false;  // without a console, the code page a console would get
    plain.oemCodePage = 437;
    EXPECT_EQ(launcherProperties(plain).back(), "-Dkestro.consoleCodepage=cp437");
}

TEST_F(VmLaunch, LauncherArgumentsFollowTheirKeys) {
    set(key::MainClass, "com.example.Main");
    set(key::ApplicationType, "1");
    set(key::LauncherFlag, "2");
    set(key::RedirectStderr, "1");
    set(key::StderrFile, "${LOGS}\\..\\err.log");
    set(key::StdoutFile, "out.log");  // its switch, key 104, is off
    fakeVm().environment["LOGS"] = "logs";
    // An empty command line still gives the executable's place, empty: the library skips it.
    EXPECT_EQ(mainArgs({}), (Arguments{u"true", u"com.example.Main", u"C:\\App\\err.log", u"", u"true", u""}));

    set(key::ApplicationType, "2");
    set(key::LauncherFlag, "0");
    set(key::StderrFile, "$stderr");
    set(key::RedirectStdout, "1");
    set(key::ProgramArguments, "fixed");
    EXPECT_EQ(mainArgs({}),
              (Arguments{u"false", u"com.example.Main", u"$stderr", u"C:\\App\\out.log", u"false", u"", u"fixed"}));
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

}  // namespace
}  // namespace kestro
