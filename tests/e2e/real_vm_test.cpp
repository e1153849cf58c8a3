// Launchers that create a real Java VM in their own process (Avian, see real_vm.h) and run
// the real runtime library on it: what only a VM inside the launcher's process shows,
// with Windows file semantics on the Java side too.
#include "real_vm.h"

namespace kestro::e2e {
namespace {

const std::string kOmega = "\xCE\xA9mega \xE6\x97\xA5\xE6\x9C\xAC";  // beyond any ANSI code page
const std::string kGruesse = "Gr\xC3\xBC\xC3\x9F" "e";              // within the Western one
const std::string kSmile = "\xF0\x9F\x98\x80";                      // U+1F600, a surrogate pair in UTF-16
// The same as Avian prints it: each half of the pair as a UTF-8 sequence of its own, so
// the output shows both units, in order.
const std::string kSmilePrinted = "\xED\xA0\xBD\xED\xB8\x80";

// What a program printed, with the line ends of Windows as "\n".
std::string printed(const RunResult& r) {
    std::string out = r.out;
    std::erase(out, '\r');
    return out;
}

using RealVm = RealVmTest;

// The example of examples/hello, built from its own configuration by the kestro tool: its
// jar travels inside the launcher, its library lies in lib\ beside it, and the vmoptions
// file beside it adds a property.
TEST_F(RealVm, TheHelloExampleRunsAsConfigured) {
    const fs::path example = sourceDir() / "examples" / "hello";
    fs::remove_all(dir_ / "jre");  // the recording runtime of every test: the real VM instead
    std::string bootstrap = layOutRealVm("jre");
    fs::copy_file(example / "hello.toml", dir_ / "hello.toml");
    fs::copy_file(avianDir() / "hello.jar", dir_ / "hello.jar");
    fs::create_directories(dir_ / "lib");
    fs::copy_file(avianDir() / "greeting.jar", dir_ / "lib" / "greeting.jar");
    writeBytes(dir_ / "hello.vmoptions", readBytes(example / "hello.vmoptions") + bootstrap + "\r\n");
    fs::path exe = dir_ / "hello.exe";
    std::string built = capture("'" + (buildDir() / "tool" / "kestro").string() + "' build '" +
                                (dir_ / "hello.toml").string() + "' -o '" + exe.string() + "' 2>&1");
    ASSERT_TRUE(fs::exists(exe)) << built;

    RunResult r = run(exe, {.arguments = kGruesse + " " + kSmile + " \"" + kOmega + "\""});
    EXPECT_EQ(r.exitCode, 0) << r.err << r.trace;
    EXPECT_EQ(r.err, "");
    std::vector<std::string> output = RunResult{.trace = printed(r)}.traceLines();
    // The VM's own version property is its business (Avian has none).
    std::erase_if(output, [](const std::string& line) { return line.starts_with("java.version = "); });
    EXPECT_EQ(output, (std::vector<std::string>{
                           "Hello from Kestro, " + kOmega + "!",
                           "argument 0: --greeting",
                           "argument 1: Hello from Kestro",
                           "argument 2: " + kGruesse,
                           "argument 3: " + kSmilePrinted,
                           "argument 4: " + kOmega,
                           "hello.mode = example",
                           "hello.source = hello.vmoptions beside the executable",
                           "kestro.moduleName = " + windowsPath(exe),
                           "kestro.tempDir = " + announcedDirectory(r),
                       }))
        << r.out;
}

TEST_F(RealVm, TheApplicationsEndIsTheLaunchersExitCode) {
    RunResult exits = run(launcher("exits.exe", "exit:7"));
    EXPECT_EQ(exits.exitCode, 7) << exits.err;
    EXPECT_EQ(exits.err, "");
    EXPECT_FALSE(exits.traced("main returned")) << exits.trace;
}

// A main class that cannot be loaded, one without main, and a main that throws: each has
// its own report, standard error says what java would say (the whole stack trace of the
// application's exception), and the start ends with exit code 1.
TEST_F(RealVm, AnApplicationThatCannotRunOrFailsIsReportedForWhatHappened) {
    const std::string define = "please define the main method as:\n   public static void main(String[] args)\n";
    struct Case {
        const char* name;
        std::string mainClass;
        std::string err;  // standard error before the report; empty for the exception's stack trace
        std::string report;
    };
    const Case cases[] = {
        {"missing", "com.kestro.testing.Missing",
         "Error: Could not find or load main class com.kestro.testing.Missing\n"
         "Caused by: java.lang.ClassNotFoundException: com.kestro.testing.Missing\n",
         message(msg::MainClassMissing)},
        {"noMain", "com.kestro.testing.RealVmApp$NoMain",
         "Error: Main method not found in class com.kestro.testing.RealVmApp$NoMain, " + define,
         message(msg::MainMethodMissing)},
        {"throws", "com.kestro.testing.RealVmApp", "",
         message(msg::ApplicationError, "java.lang.IllegalStateException: real vm failure")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        set(key::MainClass, c.mainClass);
        RunResult r = run(launcher(std::string(c.name) + ".exe", "throw"));
        EXPECT_EQ(r.exitCode, 1);
        // Avian writes Java's standard error in text mode: "\r\n" becomes "\r\r\n".
        std::string err = r.err;
        std::erase(err, '\r');
        if (c.err.empty()) {
            // The VM's own form of a stack trace (Avian's: "  at com/kestro/testing/RealVmApp.main (line 43)").
            EXPECT_TRUE(err.starts_with("java/lang/IllegalStateException: real vm failure\n")) << err;
            EXPECT_NE(err.find("RealVmApp.main"), std::string::npos) << err;
            EXPECT_TRUE(err.ends_with(r.reported(c.report))) << err;
        } else {
            EXPECT_EQ(err, c.err + r.reported(c.report));
        }
        EXPECT_FALSE(r.traced("dest JVM")) << r.trace;
    }
}

// The thread prints once the launcher waits in DestroyJavaVM, so it certainly outlives
// main; the hook runs after it, and the launcher goes on only then.
TEST_F(RealVm, ANonDaemonThreadOutlivesMainAndShutdownHooksRunBeforeTheLauncherEnds) {
    RunResult r = run(launcher("app.exe", "outlive:" + windowsPath(tmp_)));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(printed(r), "kestro.firstRun: null\nmain returning\nthread saw: dest JVM\nshutdown hook ran\n");
    EXPECT_TRUE(r.trace.ends_with("\nlaunch done\n")) << r.trace;
}

// The hand-over meets Windows file semantics on both sides: the second start writes and
// closes the file, the library in the first instance's VM reads and deletes it.
TEST_F(RealVm, ASecondStartHandsItsArgumentsToTheFirstInstancesVm) {
    set(key::SingleInstance, "1");
    fs::path exe = launcher("app.exe", "listen:" + windowsPath(dir_));
    auto first = start(exe);
    ASSERT_TRUE(waitUntil([&] { return fs::exists(dir_ / "ready") || !first->running(); }, 120000));
    ASSERT_TRUE(fs::exists(dir_ / "ready")) << "the first instance did not start listening: " << first->wait().err;

    RunResult second = run(exe, {.arguments = "-x \"My File.txt\" \"" + kOmega + "\"", .trace = false});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    // The application may have created the file and not yet written its line.
    EXPECT_TRUE(waitUntil([&] { return readBytes(dir_ / "handed.txt").ends_with("\n"); }, 30000));
    EXPECT_EQ(readBytes(dir_ / "handed.txt"), "<-x><My File.txt><" + kOmega + ">\n");
    EXPECT_TRUE(notificationFiles(tmp_).empty());

    writeBytes(dir_ / "stop", "");
    RunResult r = first->wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(printed(r), "kestro.firstRun: null\navailable: true\nmain returning\n");
}

// A velmora launcher in bin\ below the application directory, whose runtime library lies
// in the application's .velmora directory: the first start removes the marker there and
// tells the application; the next one is an ordinary start.
TEST_F(RealVm, AVelmoraLaunchersFirstRunHappensOnce) {
    fs::path app = dir_ / "app";
    fs::create_directories(app / "bin");
    fs::create_directories(app / ".velmora");
    fs::copy_file(buildDir() / "tool" / "vlmruntime.jar", app / ".velmora" / "vlmruntime.jar");
    fs::path marker = writeBytes(app / ".velmora" / "firstrun", "");
    set(key::Flavour, "v");
    set(key::ApplicationDirectory, "..");
    set(key::SearchList, "R..\\..\\avian");
    set(key::IncludedCount, "1");
    set(key::IncludedNames, "real_vm_app.jar");
    set(key::VmOptions, "\"" + bootstrap_ + "\"");
    fs::path exe = buildLauncher("app/bin/app.exe", {{"real_vm_app.jar", avianDir() / "real_vm_app.jar"}});

    RunResult first = run(exe);
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(printed(first), "kestro.firstRun: true\nmain returning\n") << first.err;
    EXPECT_FALSE(fs::exists(marker));
    RunResult next = run(exe);
    EXPECT_EQ(next.exitCode, 0) << next.err;
    EXPECT_EQ(printed(next), "kestro.firstRun: null\nmain returning\n") << next.err;
}

}  // namespace
}  // namespace kestro::e2e
