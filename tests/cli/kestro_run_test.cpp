// kestro run end to end (the Linux tool's; the Windows tool's answer is in
// KestroRunErrors): real launchers under Wine in kestro run's own prefix (made in
// the build tree, XDG_CACHE_HOME), with the stand-in runtime it lays out and the host's
// JDK behind it. The choices it makes without a process are the unit tests'
// (tests/unit/tool/run_plan_test.cpp).
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>
#include <thread>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

#include "../unit/tool/tool_test_support.h"
#include "tool/run/run_plan.h"

namespace kestro::tool {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

bool windows() { return std::getenv("KESTRO_CLI_WINDOWS") != nullptr; }
const fs::path kToolDir = KESTRO_TOOL_DIR;
const fs::path kBuildDir = KESTRO_BUILD_DIR;

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A virtual X display for the runs that must not wait for a window either; an empty name
// when Xvfb is missing.
class XvfbDisplay {
public:
    XvfbDisplay() {
        if (!fs::exists("/usr/bin/Xvfb")) return;
        int number = 500 + int(getpid() % 400);
        auto taken = [](int n) { return fs::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
                                        fs::exists("/tmp/.X" + std::to_string(n) + "-lock"); };
        while (taken(number)) ++number;
        pid_ = fork();
        if (pid_ == 0) {
            std::string name = ":" + std::to_string(number);
            execl("/usr/bin/Xvfb", "Xvfb", name.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && pid_ > 0 && !fs::exists("/tmp/.X11-unix/X" + std::to_string(number)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (pid_ > 0) name_ = ":" + std::to_string(number);
    }
    ~XvfbDisplay() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

struct Outcome {
    int exitCode;
    std::string out, err;
};

class KestroRun : public ::testing::Test {
protected:
    // The runs keep kestro run's prefix in the cache CTest names for them; run by hand
    // without one, they are skipped rather than touch the user's own cache.
    void SetUp() override {
        if (!std::getenv("XDG_CACHE_HOME")) GTEST_SKIP() << "XDG_CACHE_HOME is not set (CTest sets it)";
    }

    // Runs the Linux tool in the workspace, with no display (unless one is named) and
    // nothing to read, and ends it after four minutes (exit code 124) so that a hang shows
    // what it had said.
    Outcome kestro(const std::vector<std::string>& args, const std::string& tag = "", const std::string& display = "") {
        std::string command = "cd '" + ws_.path.string() + "' && env " +
                              (display.empty() ? "-u DISPLAY" : "DISPLAY=" + display) + " timeout -k 10 240 '" +
                              (kToolDir / "kestro").string() + "'";
        for (const auto& a : args) command += " " + shellQuoted(a);
        fs::path out = ws_ / (".out" + tag), err = ws_ / (".err" + tag);
        int status = std::system((command + " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    }

    // The example's launcher, as scripts/example.sh builds it, in app/ with `type`.
    fs::path exampleLauncher(const std::string& name, const std::string& type, const std::string& searchOrder = "") {
        fs::path jars = kBuildDir / "examples" / "hello";
        std::string config = readFile(KESTRO_SOURCE_DIR "/examples/hello/hello.toml");
        config.replace(config.find("type = \"console\""), 16, "type = \"" + type + "\"");
        if (!searchOrder.empty())
            config.replace(config.find("search_order = "), config.find('\n', config.find("search_order = ")) -
                                                               config.find("search_order = "),
                           "search_order = " + searchOrder);
        writeFile(ws_ / (name + ".toml"), config);
        fs::copy_file(jars / "hello.jar", ws_ / "hello.jar", fs::copy_options::overwrite_existing);
        writeFile(ws_ / "app/lib/greeting.jar", readFile(jars / "lib" / "greeting.jar"));
        writeFile(ws_ / ("app/" + name + ".vmoptions"), readFile(KESTRO_SOURCE_DIR "/examples/hello/hello.vmoptions"));
        Outcome built = kestro({"build", "-q", name + ".toml", "-o", "app/" + name + ".exe"});
        EXPECT_EQ(built.exitCode, 0) << built.err;
        return ws_ / "app" / (name + ".exe");
    }

    static bool hasLine(const std::string& text, const std::string& line) {
        return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
    }

    fs::path cache() const { return fs::path(std::getenv("XDG_CACHE_HOME")) / "kestro"; }

    test::TempDir ws_;
};

// The example's console launcher with --trace: the application's output and exit code,
// arguments unit for unit, the version the launcher's probe saw is the JDK's that ran
// the application, the launcher's own search found the runtime, and no working files
// or traces stay behind.
TEST_F(KestroRun, TheExampleWithItsOutputExitCodeAndTrace) {
    fs::path launcher = exampleLauncher("hello", "console");
    // Places named as Windows paths reach the application as Linux paths, as VM options do.
    std::string data = run::windowsPath(ws_ / "app" / "data"), out = run::windowsPath(ws_ / "new dir" / "out.txt");
    Outcome r = kestro({"run", "--trace", launcher.string(), "Zoë Ünal 東京", "it's", "\"quoted\" text", "back\\slash\\",
                        data, "--out=" + out, "--in=data\\x", "",  "--exit", "3"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_TRUE(r.out.starts_with("Hello from Kestro, !\n")) << r.out;  // the empty argument is the name
    for (const std::string& line : std::vector<std::string>{"argument 2: Zoë Ünal 東京", "argument 3: it's", "argument 4: \"quoted\" text",
                                    "argument 5: back\\slash\\", "argument 6: " + (ws_ / "app" / "data").string(),
                                    "argument 7: --out=" + (ws_ / "new dir" / "out.txt").string(), "argument 8: --in=data\\x",
                                    std::string("argument 9: "), std::string("exiting with 3")})
        EXPECT_TRUE(hasLine(r.out, line)) << line << "\n" << r.out;
    std::string version = r.out.substr(r.out.find("java.version = ") + 15);
    version = version.substr(0, version.find('\n'));
    EXPECT_NE(r.err.find("\nJava version: " + version), std::string::npos) << r.err;  // the launcher's probe
    EXPECT_NE(r.err.find("found through JAVA_HOME of the launcher's search list"), std::string::npos) << r.err;
    // Its own working files and trace are gone (other runs may share the cache meanwhile).
    auto named = [&](const std::string& before, const std::string& after) {
        size_t from = r.err.find(before);
        if (from == std::string::npos) return std::string();
        from += before.size();
        return r.err.substr(from, r.err.find(after, from) - from);
    };
    std::string runtime = named(") in ", ", found through"), trace = named("trace (C:\\kestro\\temp\\", ")");
    EXPECT_TRUE(trace.starts_with("vlm_nlog_")) << r.err;
    EXPECT_TRUE(runtime.starts_with((cache() / "runs" / "run-").string())) << r.err;
    EXPECT_FALSE(fs::exists(fs::path(runtime).parent_path()));
    EXPECT_FALSE(fs::exists(cache() / "wine" / "drive_c" / "kestro" / "temp" / trace));
    EXPECT_TRUE(hasLine(r.err, "Testing location JAVA_HOME (type E)")) << r.err;
    EXPECT_TRUE(hasLine(r.err, "Loading of JVM-DLL successful")) << r.err;
    EXPECT_NE(r.err.find("\nparam 8: Zoë Ünal "), std::string::npos) << r.err;  // an ANSI trace shown as UTF-8
}

// A windowed launcher whose bounds admit no JDK here: kestro run says so before the run,
// and the launcher's message box, which would wait for a click with a display and was
// lost without one, comes to standard error with its caption; the run ends with the
// launcher's exit code.
TEST_F(KestroRun, BoundsThatExcludeTheJdkAndTheMessageBoxComeToStandardError) {
    writeFile(ws_ / "bounded.toml",
              "application.main_class = \"a.B\"\napplication.type = \"gui\"\njava.min_version = \"99\"\n");
    ASSERT_EQ(kestro({"build", "-q", "bounded.toml", "-o", "bounded.exe"}).exitCode, 0);
    XvfbDisplay display;
    for (const std::string& name : {std::string(), display.name()}) {
        Outcome r = kestro({"run", "bounded.exe"}, name, name);
        EXPECT_EQ(r.exitCode, 83) << "display " << name << ": " << r.err;
        size_t notice = r.err.find("kestro run: the launcher's version bounds exclude the JDK that would run the "
                                   "application (");
        size_t box = r.err.find("\nbounded: No JVM could be found on your system.");
        EXPECT_NE(notice, std::string::npos) << r.err;
        EXPECT_NE(r.err.find(", needs 99 or later; java.min_version = \"99\"), so its search will find no runtime. "
                             "Name a JDK they admit with --java-home DIR.\n"),
                  std::string::npos) << r.err;
        EXPECT_NE(box, std::string::npos) << "display " << name << ": " << r.err;
        EXPECT_LT(notice, box);
    }
}

// kestro init of the example's jar, whose manifest names its main class and class path:
// the file builds as written and its launcher runs the application; a second init
// replaces nothing.
TEST_F(KestroRun, AConfigurationFromKestroInitBuildsAndRuns) {
    fs::path jars = kBuildDir / "examples" / "hello";
    fs::copy_file(jars / "hello.jar", ws_ / "hello.jar");
    writeFile(ws_ / "lib/greeting.jar", readFile(jars / "lib" / "greeting.jar"));
    Outcome init = kestro({"init", "hello.jar"});
    EXPECT_EQ(init.exitCode, 0) << init.err;
    EXPECT_EQ(init.out, "wrote app.toml\n");
    std::string config = readFile(ws_ / "app.toml");
    Outcome again = kestro({"init", "hello.jar"}, "again");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, "kestro: app.toml exists; kestro init never overwrites a file: remove it, or name another "
                         "with -o\n");
    EXPECT_EQ(readFile(ws_ / "app.toml"), config);

    Outcome built = kestro({"build", "app.toml", "-o", "Hello.exe"}, "build");
    EXPECT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(built.err, "");  // no warning either
    Outcome r = kestro({"run", "Hello.exe", "init"}, "run");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("Hello, init!\n")) << r.out << config;
}

// A windowed launcher (it needs javaw.exe) that looks only in jre beside itself, with
// the stand-in placed there by --runtime: output and exit code come back, and jre goes
// again.
TEST_F(KestroRun, AWindowedApplicationWithTheRuntimeWhereItsSearchLooks) {
    fs::path launcher = exampleLauncher("windowed", "gui", R"([{ relative_directory = "jre" }])");
    Outcome r = kestro({"run", "--runtime", "jre", launcher.string(), "window", "--exit", "5"});
    EXPECT_EQ(r.exitCode, 5) << r.err;
    EXPECT_TRUE(r.out.starts_with("Hello from Kestro, window!\n")) << r.out;
    EXPECT_NE(r.err.find(") in " + (ws_ / "app" / "jre").string() + "\n"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(ws_ / "app" / "jre"));
}

// Two kestro run of one single-instance launcher: the second hands its arguments to the
// first (a real application listening through InstanceHandover) and ends with 0.
TEST_F(KestroRun, TheSecondRunOfASingleInstanceLauncherHandsOver) {
    auto option = [&](const std::string& name, const std::string& file) {
        return "'-Dhandover." + name + "=" + run::windowsPath(ws_ / file) + "'";
    };
    fs::copy_file(kBuildDir / "tests" / "java" / "java-runtime-tests.jar", ws_ / "tests.jar");
    writeFile(ws_ / "single.toml", "instance.single = true\nvm.options = [" + option("record", "record.txt") + ", " +
                                       option("ready", "ready") + ", " + option("stop", "stop") +
                                       "]\nfiles = [{ source = \"tests.jar\" }]\n[application]\n"
                                       "main_class = \"com.kestro.runtime.testapps.Apps$HandoverRecorder\"\n"
                                       "type = \"console\"\n");
    ASSERT_EQ(kestro({"build", "-q", "single.toml", "-o", "single.exe"}).exitCode, 0);
    auto first = std::async(std::launch::async, [&] { return kestro({"run", "single.exe"}, "first"); });
    for (int i = 0; i < 1200 && !fs::exists(ws_ / "ready"); ++i)
        if (first.wait_for(std::chrono::milliseconds(100)) == std::future_status::ready) break;
    ASSERT_TRUE(fs::exists(ws_ / "ready")) << "the first run's application never listened:\n"
                                           << readFile(ws_ / ".errfirst");

    Outcome second = kestro({"run", "single.exe", "second start", "Zoë"});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "");
    for (int i = 0; i < 200 && !readFile(ws_ / "record.txt").ends_with("\n"); ++i)  // a whole line
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(readFile(ws_ / "record.txt"), "<second start><Zoë>\n");
    writeFile(ws_ / "stop", "");
    Outcome r = first.get();
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

// A modular application whose main class is in a package its module does not export:
// main runs in the named module, which reads the runtime library, whether the class
// comes from the module's descriptor or after "/", and whether the module lies beside
// the launcher or travels inside it.
TEST_F(KestroRun, AModularApplicationRunsInItsNamedModule) {
    writeFile(ws_ / "src/module-info.java", "module com.example.app { }\n");
    writeFile(ws_ / "src/com/example/app/internal/Main.java",
              "package com.example.app.internal;\n"
              "public class Main {\n"
              "    public static void main(String[] args) throws Exception {\n"
              "        Module library = Class.forName(\"com.kestro.runtime.InstanceHandover\").getModule();\n"
              "        System.out.println(\"module \" + Main.class.getModule().getName() + \", reads the library: \"\n"
              "                + Main.class.getModule().canRead(library) + \", \" + String.join(\" \", args));\n"
              "    }\n"
              "}\n");
    const std::string jdk = KESTRO_HOST_JDK "/bin/";
    ASSERT_EQ(std::system(("cd '" + ws_.path.string() + "' && '" + jdk + "javac' -d classes src/module-info.java "
                           "src/com/example/app/internal/Main.java && '" + jdk + "jar' --create --file app.jar "
                           "--main-class=com.example.app.internal.Main -C classes .").c_str()),
              0);
    writeFile(ws_ / "app/mods/app.jar", readFile(ws_ / "app.jar"));
    struct Case {
        std::string mainModule, placement;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"com.example.app", "module_path = [\"mods\"]\n"},
             {"com.example.app/com.example.app.internal.Main",
              "module_path = [\"lib/app.jar\"]\nfiles = [{ source = \"app.jar\", name = \"lib/app.jar\" }]\n"},
         }) {
        writeFile(ws_ / "modular.toml", "application.main_module = \"" + c.mainModule + "\"\napplication.type = "
                                        "\"console\"\napplication." + c.placement);
        Outcome built = kestro({"build", "-q", "modular.toml", "-o", "app/modular.exe"});
        ASSERT_EQ(built.exitCode, 0) << built.err;
        Outcome r = kestro({"run", (ws_ / "app" / "modular.exe").string(), "a", "b"});
        EXPECT_EQ(r.exitCode, 0) << c.mainModule << "\n" << r.err;
        EXPECT_EQ(r.out, "module com.example.app, reads the library: true, a b\n") << c.mainModule << "\n" << r.err;
    }
}

// What keeps kestro run from running, each said before anything runs (exit code 1); the
// Windows tool says at once that the command is Linux's.
TEST(KestroRunErrors, SayWhatIsMissing) {
    test::TempDir ws;
    writeFile(ws / "notes.txt", "notes\n");
    auto run = [&](const std::string& env, const std::vector<std::string>& args) {
        std::string command = "cd '" + ws.path.string() + "' && " + env + " " +
                              (windows() ? "DISPLAY= /usr/lib/wine/wine64 '" + (kToolDir / "kestro.exe").string()
                                         : "'" + (kToolDir / "kestro").string()) + "' run";
        for (const auto& a : args) command += " " + shellQuoted(a);
        int status = std::system((command + " >/dev/null 2>.err").c_str());
        return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", readFile(ws / ".err")};
    };
    if (windows()) {
        Outcome r = run("", {"app.exe"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("kestro: 'kestro run' runs a launcher under Wine and exists only in the Linux tool"),
                  std::string::npos) << r.err;
        return;
    }
    fs::path launcher = ws / "app.exe";
    writeFile(ws / "app.toml", "application.main_class = \"a.B\"\n");
    ASSERT_EQ(std::system(("'" + (kToolDir / "kestro").string() + "' build -q '" + (ws / "app.toml").string() +
                           "' -o '" + launcher.string() + "'").c_str()), 0);
    struct Case {
        std::string env;
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"", {"notes.txt"}, ws.path.string() + "/notes.txt is not a launcher: not a Windows executable"},
             {"", {(kToolDir / "launcher.exe").string()}, "launcher.exe carries no configuration block"},
             {"WINE=/no/wine", {"app.exe"}, "kestro: WINE names /no/wine, which is not a program\n"},
             {"PATH=/no/bin", {"app.exe"}, "kestro: kestro run needs a JDK on this machine"},
             {"", {"--java-home", "/no/jdk", "app.exe"}, "kestro: --java-home /no/jdk: no JDK there (no bin/java)\n"},
             {"", {"app.exe", "it's \"both\""}, "kestro: the argument holds both a double and a single quote"},
         }) {
        Outcome r = run(c.env, c.args);
        EXPECT_EQ(r.exitCode, 1) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("kestro run: "), std::string::npos) << "nothing ran: " << r.err;
    }
}

}  // namespace
}  // namespace kestro::tool
