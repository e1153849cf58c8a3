// The recording VM library that every test runtime gets, driven through the invocation
// API as the launcher drives it: what it records, and what its script makes it do.
#include "harness.h"

namespace kestro::e2e {
namespace {

using RecordingVm = LauncherTest;
using layout::JvmScript;

TEST_F(RecordingVm, RecordsEveryCallAndLetsEverythingSucceedByDefault) {
    fs::path home = dir_ / "jre";  // laid out for every test
    RunResult r = driveVm(home, "com/kestro/runtime/WinLauncher -Dkestro.tempDir= -Xmx64m "
                                "+firstRun=com/velmora/runtime/launcher/FirstRun -- "
                                "app.exe \"b c\" \"\xCE\xA9mega \xE6\x97\xA5\xE6\x9C\xAC\" \"tab\there\"");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "driver: VM created\ndriver: calling main\ndriver: main returned\ndriver: VM destroyed\n");
    const std::string main = "com/kestro/runtime/WinLauncher main ([Ljava/lang/String;)V";
    const std::string firstRun = "com/velmora/runtime/launcher/FirstRun firstRun ()Z";
    const std::string unicode = "\xCE\xA9mega \xE6\x97\xA5\xE6\x9C\xAC";  // beyond any ANSI code page
    EXPECT_EQ(jvmTranscript(home).lines,
              (std::vector<std::string>{"JNI_CreateJavaVM",
                                        "version 0x00010002",
                                        "option -Dkestro.tempDir=",
                                        "option -Xmx64m",
                                        "ignoreUnrecognized 1",
                                        "JNI_CreateJavaVM returns 0",
                                        "FindClass com/velmora/runtime/launcher/FirstRun",
                                        "GetStaticMethodID " + firstRun,
                                        "CallStaticBooleanMethod " + firstRun,
                                        "ExceptionOccurred",
                                        "FindClass com/kestro/runtime/WinLauncher",
                                        "GetStaticMethodID " + main,
                                        "FindClass java/lang/String",
                                        "NewObjectArray 4 java/lang/String",
                                        "NewString app.exe",
                                        "SetObjectArrayElement 0",
                                        "NewString b c",
                                        "SetObjectArrayElement 1",
                                        "NewString " + unicode,
                                        "SetObjectArrayElement 2",
                                        "NewString tab\\x09here",
                                        "SetObjectArrayElement 3",
                                        "CallStaticVoidMethod " + main,
                                        "argument app.exe",
                                        "argument b c",
                                        "argument " + unicode,
                                        "argument tab\\x09here",
                                        "ExceptionOccurred",
                                        "DestroyJavaVM"}));
}

TEST_F(RecordingVm, DoesWhatItsScriptSays) {
    struct Case {
        const char* name;
        JvmScript script;
        std::string arguments;
        int exitCode;
        std::string lastRecord;
        std::string out;  // a line of the driver's output
        std::string err;  // standard error, whole
        std::vector<std::string> recorded = {};  // records that must be there too
    };
    const std::string ioException = "Exception in thread \"main\" java.io.IOException: disk gone\n";
    const std::string standIn = "Exception in thread \"main\" java.lang.IllegalStateException: thrown by the stand-in\n";
    const Case cases[] = {
        {"create", {.createResult = -6}, "a/Main --", 112, "JNI_CreateJavaVM returns -6",
         "JNI_CreateJavaVM returned -6"},
        {"class", {.missingClasses = {"x/Y", "a/Main"}}, "a/Main --", 113, "FindClass a/Main", "class or main missing"},
        {"method", {.missingMethods = {"main"}}, "a/Main --", 113,
         "GetStaticMethodID a/Main main ([Ljava/lang/String;)V", "class or main missing"},
        {"throws", {.mainThrows = true, .exception = "java.io.IOException: disk gone"}, "a/Main -- x", 1,
         "ExceptionDescribe", "main threw", ioException},
        {"exits", {.mainExit = 7}, "a/Main -- x", 7, "exit 7", "calling main"},
        {"firstRunFalse", {.firstRun = JvmScript::FirstRun::False}, "a/Main +firstRun=f/R --", 0, "DestroyJavaVM",
         "first run stopped the start"},
        {"firstRunThrows", {.firstRun = JvmScript::FirstRun::Throws}, "a/Main +firstRun=f/R --", 0, "DestroyJavaVM",
         "first run stopped the start", standIn},
        {"array", {.nullArray = true}, "a/Main -- x y", 114, "NewObjectArray 2 java/lang/String", "array not created"},
        {"string", {.nullString = 1}, "a/Main -- first second third", 114, "NewString second",
         "string 1 not created"},
        // GetVersion and ExceptionClear are slots 4 and 17 of the environment's table.
        {"unexpected", {}, "a/Main +unexpected --", 0, "DestroyJavaVM", "GetVersion returned 0", "",
         {"unexpected call: JNIEnv slot 4", "unexpected call: JNIEnv slot 17"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path home = layOut(c.name);
        scriptJvm(home, c.script);
        RunResult r = driveVm(home, c.arguments);
        auto transcript = jvmTranscript(home);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.out << r.err;
        ASSERT_FALSE(transcript.lines.empty());
        EXPECT_EQ(transcript.lines.back(), c.lastRecord) << transcript.text();
        EXPECT_NE(r.out.find("driver: " + c.out + "\n"), std::string::npos) << r.out;
        EXPECT_EQ(r.err, c.err);
        for (const std::string& record : c.recorded) EXPECT_TRUE(transcript.has(record)) << transcript.text();
    }
}

}  // namespace
}  // namespace kestro::e2e
