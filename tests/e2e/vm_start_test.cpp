// The VM start of whole launcher runs, seen through the recording VM library: what the
// VM is created with, what main of the launcher class receives, and how each way the
// Java side can fail ends the start.
#include "harness.h"

namespace kestro::e2e {
namespace {

using VmStart = LauncherTest;
using Texts = std::vector<std::string>;
using layout::JvmScript;

const std::string kMain = "com/kestro/runtime/WinLauncher main ([Ljava/lang/String;)V";
const std::string kVelmoraMain = "com/velmora/runtime/launcher/WinLauncher main ([Ljava/lang/String;)V";
const std::string kStandInException =
    "Exception in thread \"main\" java.lang.IllegalStateException: thrown by the stand-in\n";

// The lines of `r`'s trace from the first equal to `first`, `count` of them.
Texts traceFrom(const RunResult& r, const std::string& first, size_t count) {
    Texts lines = r.traceLines();
    int at = r.traceIndex(first);
    if (at < 0) return {};
    return Texts(lines.begin() + at, lines.begin() + long(std::min(lines.size(), at + count)));
}

// One run with every source of options and arguments: the properties come first, the
// class path last, and main gets the launcher's arguments, the executable as written,
// the fixed arguments and the user's arguments without the ones meant for the VM. An
// apostrophe in a name that Explorer leaves unquoted joins nothing; and however many
// arguments there are, the launcher holds at most a few local references at once.
TEST_F(VmStart, ANormalRunHandsTheVmItsOptionsAndMainItsArguments) {
    set(key::VmOptions, "-Xmx64m");
    set(key::JavaOptionArguments, "1");
    set(key::ProgramArguments, "--fixed '1 2'");
    set(key::MainClass, "com.example.Main");
    set(key::ApplicationType, "1");
    set(key::ApplicationDirectory, ".");
    set(key::ClassPath, "A0app.jar");
    writeBytes(dir_ / ".velmora" / "firstrun", "");  // only the velmora flavour looks for it
    writeBytes(dir_ / "app.vmoptions", "-Dfile=1\n");
    fs::path exe = buildLauncher();
    const std::string omega = "\xCE\xA9mega \xE6\x97\xA5\xE6\x9C\xAC";  // beyond code page 1252
    const std::string commandLine =
        "app.exe a \"b c\" -J-Dj=1 -Dsun.locale.formatasdefault=true \"" + omega + "\" O'Brien.txt it's b.txt";
    RunResult r = run(exe, {.commandLine = commandLine, .application = exe, .env = {{"PATH", "C:\\windows"}}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");

    auto t = jvmTranscript(dir_ / "jre");
    const std::string path = windowsPath(exe);
    Texts expected = {"-Dkestro.semaphoreName=" + instanceName(exe) + "0",
                      "-Dkestro.moduleName=" + path,
                      "-Dsun.java.command=" + path,
                      "-Dkestro.tempDir=",
                      "-Dkestro.unextractedPosition=0",
                      "-Djava.library.path=C:\\windows;" + normalised(dir_ / "jre" / "bin"),
                      "-Dkestro.consoleCodepage=cp",
                      "-Xmx64m",
                      "-Dj=1",
                      "-Dsun.locale.formatasdefault=true",
                      "-Dfile=1",
                      "-Djava.class.path=" + windowsPath(dir_) + "\\app.jar"};
    Texts options = vmOptions(t);
    ASSERT_EQ(options.size(), expected.size()) << t.text();
    EXPECT_TRUE(options[6].starts_with(expected[6])) << options[6];
    expected[6] = options[6];  // whatever the console's code page is
    EXPECT_EQ(options, expected);
    EXPECT_EQ(t.lines[1], "version 0x00010002");
    EXPECT_EQ(t.lines[2 + options.size()], "ignoreUnrecognized 1");
    EXPECT_TRUE(t.values("extraInfo ").empty());
    EXPECT_TRUE(r.traced("vmoption 11: " + options[11]));

    // The UTF-16 text reaches Java whole; the trace shows what the code page cannot as "?".
    EXPECT_EQ(t.values("argument "),
              (Texts{"true", "com.example.Main", "", "", "false", "app.exe", "--fixed", "1 2", "a", "b c", omega,
                     "O'Brien.txt", "it's", "b.txt"}));
    EXPECT_TRUE(r.traced("param 10: ?mega ??")) << r.trace;

    EXPECT_EQ(t.values("FindClass "), (Texts{"com/kestro/runtime/WinLauncher", "java/lang/String"}));
    EXPECT_TRUE(t.has("CallStaticVoidMethod " + kMain));
    EXPECT_EQ(Texts(t.lines.end() - 3, t.lines.end()), (Texts{"argument b.txt", "ExceptionOccurred", "DestroyJavaVM"}));
    EXPECT_TRUE(t.values("invalid: ").empty()) << t.text();
    EXPECT_EQ(traceFrom(r, "Creating JVM", 3),
              (Texts{"Creating JVM", "JVM created", "main class: com/kestro/runtime/WinLauncher"}));
    EXPECT_EQ(traceFrom(r, "calling main", 5), (Texts{"calling main", "main returned", "dest JVM", "launch done"}));
}

// The first-run hook runs in the velmora flavour when the marker exists below the
// application directory; without the marker nothing of it is looked up.
TEST_F(VmStart, FirstRunHookDecidesWhetherMainIsCalled) {
    set(key::Flavour, "v");
    set(key::ApplicationDirectory, "app dir");
    const std::string firstRun = "com/velmora/runtime/launcher/FirstRun firstRun ()Z";
    struct Case {
        const char* name;
        JvmScript script;
        bool marker;
        int exitCode;
        bool mainCalled;
        std::string err;  // without the report's "Log:" line
    };
    const Case cases[] = {
        {"absent", {.firstRun = JvmScript::FirstRun::False}, false, 0, true, ""},
        {"true", {}, true, 0, true, ""},
        {"false", {.firstRun = JvmScript::FirstRun::False}, true, 0, false, ""},
        {"throws", {.firstRun = JvmScript::FirstRun::Throws}, true, 0, false, kStandInException},
        {"noClass", {.missingClasses = {"com/velmora/runtime/launcher/FirstRun"}}, true, 1, false, message(1009, "14")},
        {"noMethod", {.missingMethods = {"firstRun"}}, true, 1, false, message(1009, "15")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path home = useRuntime(c.name, c.script);
        fs::remove(dir_ / "app dir" / ".velmora" / "firstrun");
        if (c.marker) writeBytes(dir_ / "app dir" / ".velmora" / "firstrun", "");
        RunResult r = run(buildLauncher(std::string(c.name) + ".exe"));
        auto t = jvmTranscript(home);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.err, c.exitCode == 0 ? c.err : r.reported(c.err));
        EXPECT_EQ(t.has("FindClass com/velmora/runtime/launcher/FirstRun"), c.marker) << t.text();
        EXPECT_EQ(t.has("CallStaticBooleanMethod " + firstRun), c.marker && c.exitCode == 0);
        EXPECT_EQ(t.has("CallStaticVoidMethod " + kVelmoraMain), c.mainCalled);
        EXPECT_EQ(t.has("DestroyJavaVM"), c.exitCode == 0);
        EXPECT_TRUE(t.has("option -Dkestro.isVelmora=true"));
        if (!c.marker) {
            EXPECT_EQ(traceFrom(r, "JVM created", 2),
                      (Texts{"JVM created", "main class: com/velmora/runtime/launcher/WinLauncher"}));
        } else if (c.exitCode == 0 && !c.mainCalled) {
            EXPECT_EQ(traceFrom(r, "checkFirstRun stopped further execution", 3),
                      (Texts{"checkFirstRun stopped further execution", "dest JVM", "launch done"}));
        }
    }
}

// Every way the Java side can fail after the options were gathered: the report the user
// sees, the exit code, and that a VM that failed is not destroyed.
TEST_F(VmStart, FailuresOfTheVmEndTheStartWithTheirReport) {
    struct Case {
        const char* name;
        JvmScript script;
        int exitCode;
        std::string err;  // before the report
        std::string report;
        Texts errorTraces;
        std::string lastRecord;
    };
    const Case cases[] = {
        {"create", {.createResult = -6}, 1, "", message(1005), {"ERROR: could not initialize JVM"},
         "JNI_CreateJavaVM returns -6"},
        {"throws", {.mainThrows = true}, 1, kStandInException,
         message(1021, "java.lang.IllegalStateException: thrown by the stand-in"),
         {"ERROR: an exception occured", "ERROR: main threw java.lang.IllegalStateException: thrown by the stand-in",
          "ERROR: could not call main"},
         "ExceptionDescribe"},
        // As java says it when its main class or method is missing.
        {"noClass", {.missingClasses = {"com/kestro/runtime/WinLauncher"}}, 1,
         "Error: Could not find or load main class com.kestro.runtime.WinLauncher\n"
         "Caused by: java.lang.ClassNotFoundException: com.kestro.runtime.WinLauncher\n",
         message(1010), {"ERROR: could not find main class"}, "FindClass com/kestro/runtime/WinLauncher"},
        {"noMain", {.missingMethods = {"main"}}, 1,
         "Error: Main method not found in class com.kestro.runtime.WinLauncher, please define the main method as:\n"
         "   public static void main(String[] args)\n",
         message(1011), {"ERROR: could not find main method"}, "GetStaticMethodID " + kMain},
        {"array", {.nullArray = true}, 1, "", "Internal Error: JavaVMLauncher: paramArray", {},
         "NewObjectArray 7 java/lang/String"},
        {"string", {.nullString = 6}, 1, "", "Internal Error: JavaVMLauncher: jstr", {}, "NewString x"},
        {"exits", {.mainExit = 7}, 7, "", "", {}, "exit 7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path home = useRuntime(c.name, c.script);
        RunResult r = run(buildLauncher(std::string(c.name) + ".exe"), {.arguments = "x"});
        auto t = jvmTranscript(home);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.err, c.err + (c.report.empty() ? "" : r.reported(c.report)));
        ASSERT_FALSE(t.lines.empty());
        EXPECT_EQ(t.lines.back(), c.lastRecord) << t.text();
        EXPECT_FALSE(t.has("DestroyJavaVM"));
        EXPECT_EQ(r.countTraced("ERROR: "), int(c.errorTraces.size())) << r.trace;
        for (const std::string& line : c.errorTraces) EXPECT_TRUE(r.traced(line)) << line;
        EXPECT_FALSE(r.traced("launch done"));
    }
}

// A mandatory class path entry that is missing ends the start before a VM is created,
// and the report names the entry as expanded. (Which entries count is the native
// tests'.)
TEST_F(VmStart, AMissingMandatoryClassPathEntryEndsTheStartBeforeTheVm) {
    set(key::ClassPath, "A0optional.jar;S1missing${N}");
    RunResult r = run(buildLauncher(), {.env = {{"N", "2"}}});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1006, "missing2")));
    EXPECT_FALSE(r.traced("Creating JVM")) << r.trace;
    EXPECT_FALSE(jvmTranscript(dir_ / "jre").has("JNI_CreateJavaVM"));
}

}  // namespace
}  // namespace kestro::e2e
