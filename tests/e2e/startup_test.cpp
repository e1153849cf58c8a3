// The start-up sequence seen from outside: the order of its steps in the trace, the
// special command lines (the reboot one in a prefix of its own), the working directory,
// the trace switch and its question, the reports of a launcher that cannot read itself,
// and the stub as a file.
#include "virtual_display.h"

#include <algorithm>
#include <chrono>
#include <regex>

namespace kestro::e2e {
namespace {

using Startup = LauncherTest;
using Texts = std::vector<std::string>;

constexpr char kExplorerCall[] = "calling C:\\windows\\explorer.exe";

// A start without included files: no root is sought and no directory made, the native
// library path follows at once, then the runtime search, the VM and main.
TEST_F(Startup, TheStepsAreTracedInTheirOrder) {
    RunResult r = run(buildLauncher(), {.env = {{"PATH", "C:\\windows"}}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // The header: the executable and the time in the ctime form (Wed Jan 02 02:03:55 1980),
    // an empty line, then the block's reading.
    EXPECT_TRUE(std::regex_search(r.trace, std::regex("^Started executable " + std::regex_replace(
        windowsPath(dir_ / "app.exe"), std::regex(R"([\\.])"), R"(\$&)") + " at .{24}\n\nnumber of sections: ")))
        << r.trace;
    int extracting = r.traceIndex("extracting files");
    EXPECT_GT(extracting, 0) << r.trace;
    for (const char* next : {"Included files: 0", "native lib dir is "})
        EXPECT_EQ(r.traceIndex(next), ++extracting) << next << "\n" << r.trace;
    int path = r.traceIndex("PATH unchanged (native libs)");
    EXPECT_GT(path, extracting) << r.trace;
    EXPECT_EQ(r.traceIndex("LoadDLL (1, (null), 0)"), path + 1) << r.trace;
    expectInOrder(r, {"working directory unchanged", "extracting files", "Searching for a JVM",
                      "Loading of JVM-DLL successful", "launching program", "Creating JVM", "launch done"});
    // The probe's file goes once the probe's handle is closed too, which Wine does a
    // moment after the probe has ended.
    EXPECT_TRUE(runDirectories(tmp_).empty());
    EXPECT_TRUE(waitUntil([&] { return uniqueFiles(tmp_).empty(); }, 5000));
}

// Relative to the launcher's directory, not the current one, expanded, and with its
// letter case kept. A relative TMP is made absolute once, so that the change of
// directory does not split the trace. A restart for a language change keeps the
// directory it inherited, takes no part in the instances and tells the VM of no
// unextracted data; with MANPATH set the VM hears of no console code page.
TEST_F(Startup, TheWorkingDirectoryIsTheLaunchersUnlessALanguageRestart) {
    fs::create_directories(dir_ / "Work Root" / "Sub");
    fs::create_directories(tmp_ / "tmp");
    set(key::WorkingDirectory, "${WORKROOT}\\.\\Sub\\..");
    fs::path exe = buildLauncher();
    // Named in mixed case: the upper-cased reference finds it too.
    RunResult r = run(exe, {.env = {{"TMP", "tmp"}, {"WorkRoot", "Work Root"}}, .cwd = tmp_, .traceDir = tmp_ / "tmp"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("expanding ${WORKROOT} to Work Root in Work Root\\.\\Sub\\...")) << r.trace;
    EXPECT_TRUE(r.traced("change working directory to " + windowsPath(dir_ / "Work Root"))) << r.trace;
    EXPECT_FALSE(fs::exists(dir_ / "Work Root" / "tmp" / "vlm_nlog_2"));

    RunResult restart = run(exe, {.arguments = "__vlm_lang_restart", .env = {{"MANPATH", "C:\\man"}}});
    EXPECT_EQ(restart.exitCode, 0);
    EXPECT_FALSE(restart.tracedPrefix("change working directory"));
    EXPECT_FALSE(restart.traced("working directory unchanged"));
    auto options = jvmTranscript(dir_ / "jre");
    EXPECT_EQ(options.values("option -Dkestro.semaphoreName=").size(), 1u);  // the first run's
    EXPECT_EQ(options.values("option -Dkestro.consoleCodepage=").size(), 1u);
    EXPECT_EQ(vmOptions(options).end()[-3], "-Dkestro.unextractedPosition=-1");
}

// The exact reboot command line restarts Wine's session, so it runs in a prefix of its
// own (Reboot below); with a further argument it is an ordinary start.
TEST_F(Startup, TheRebootWordWithAFurtherArgumentIsANormalStart) {
    RunResult normal = run(buildRaw({}), {.arguments = "__vlm_reboot x"});  // no block: reading it is fatal
    EXPECT_EQ(normal.exitCode, 1);
    EXPECT_TRUE(normal.tracedPrefix("number of sections: "));
}

// The internal reboot invocation, run in a Wine prefix of its own: restarting "the
// computer" there ends that prefix's session and runs its boot again, which must not
// disturb the prefix that the other tests share.
// The prefix is made for the one test that restarts it, and its server stopped after.
struct PrivatePrefix {
    fs::path path;
    int script(const std::string& action) const {
        fs::path tool = sourceDir() / "scripts" / "wine-prefix.sh";
        return std::system(("'" + tool.string() + "' " + action + " '" + path.string() + "' >/dev/null 2>&1").c_str());
    }
    ~PrivatePrefix() {
        script("down");
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

using Reboot = LauncherTest;

// Nothing but the restart: the configuration is not read (there is none) and no trace
// is written. The boot that follows the restart runs the prefix's RunOnce entries: this
// one leaves a file behind, which shows that the shutdown privilege was granted and the
// restart asked for.
TEST_F(Reboot, ExactCommandLineWaitsThenRestarts) {
    PrivatePrefix prefix{buildDir() / "wineprefix-reboot"};
    ASSERT_EQ(prefix.script("up"), 0);
    fs::path marker = dir_ / "restarted.txt";
    std::string reg = "env WINEPREFIX='" + prefix.path.string() + "' WINEDEBUG=-all /usr/lib/wine/wine64 reg add " +
                      "'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce' /v kestro /d " +
                      "'C:\\windows\\system32\\cmd.exe /c echo restarted> " + windowsPath(marker) +
                      "' /f >/dev/null 2>&1";
    ASSERT_EQ(std::system(reg.c_str()), 0);

    fs::path exe = buildRaw({});  // no block at all: reading it would be fatal
    auto started = std::chrono::steady_clock::now();
    RunResult r = run(exe, {.arguments = "__vlm_reboot", .unixEnv = {{"WINEPREFIX", prefix.path.string()}}});
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_GE(seconds, 4.5);
    EXPECT_LE(seconds, 60.0);
    EXPECT_FALSE(r.traceFile) << r.trace;

    EXPECT_TRUE(waitUntil([&] { return fs::exists(marker); })) << "the prefix did not boot again";
}

// Either variable turns it on when it is exactly "yes", and so does the log creation
// switch as the first argument; the file is numbered from 2. Without a display the
// switch's question cannot be answered Yes: no Explorer is started. With the variable set
// too, there is still one trace file.
TEST_F(Startup, TheTraceIsWrittenOnlyForYes) {
    fs::path exe = buildLauncher();
    EXPECT_FALSE(run(exe, {.trace = false}).traceFile);
    EXPECT_FALSE(run(exe, {.env = {{"KESTRO_LOG", "Yes"}, {"VELMORA_LOG", "YES"}}}).traceFile);
    EXPECT_EQ(run(exe, {.env = {{"KESTRO_LOG", "yes"}}}).traceFile, tmp_ / "vlm_nlog_2");
    EXPECT_EQ(run(exe, {.env = {{"KESTRO_LOG", std::nullopt}, {"VELMORA_LOG", "yes"}}}).traceFile, tmp_ / "vlm_nlog_3");
    RunResult switched = run(exe, {.arguments = "/create-kst-log x", .trace = false});
    EXPECT_EQ(switched.exitCode, 0);
    EXPECT_EQ(switched.traceFile, tmp_ / "vlm_nlog_4");
    EXPECT_FALSE(switched.tracedPrefix(kExplorerCall)) << switched.trace;
    EXPECT_EQ(run(exe, {.arguments = "-create-vlm-log x"}).traceFile, tmp_ / "vlm_nlog_5");
    EXPECT_EQ(std::ranges::count_if(fs::directory_iterator(tmp_), [](const auto& e) {
                  return e.path().filename().string().starts_with("vlm_nlog");
              }), 4);
}

// The question of the log creation switch whether to show the trace file in Explorer
// (its forms and where it counts are the native tests'). Answering needs a display. Both
// answers run on one display and prefix, one after the other: a second display would
// fight the first over that prefix's desktop.
class LogExplorer : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        if (!display_.ok() || display_.winePrefix().empty()) GTEST_SKIP() << "no virtual display (Xvfb, xdotool)";
    }
    // Runs with the display while the box captioned `caption` is answered with `key`.
    // Wine's windows under Xvfb now and then fail to appear at all; a run whose box never
    // showed is made again, at most three times in all, and each repeat is reported. A
    // launcher that shows no box fails every attempt.
    RunResult answered(const fs::path& exe, const std::string& arguments, const std::string& caption,
                       const std::string& key) {
        RunOptions options{.arguments = arguments, .trace = false};
        options.unixEnv = {{"DISPLAY", display_.name()}, {"WINEPREFIX", display_.winePrefix()}};
        for (int attempt = 1;; ++attempt) {
            auto running = std::async(std::launch::async, [&] { return run(exe, options); });
            bool shown = display_.answer(caption, key, [&] {
                return running.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            });
            RunResult result = running.get();
            if (shown || attempt == 3) {
                EXPECT_TRUE(shown) << "no box captioned " << caption;
                return result;
            }
            std::cout << "[ DESKTOP  ] no box captioned " << caption << " on attempt " << attempt << " (exit code "
                      << result.exitCode << ", standard error: " << result.err << "); running again\n";
        }
    }
    VirtualDisplay display_;
};

TEST_F(LogExplorer, NoStartsNothingAndYesStartsExplorerOnTheShortPath) {
    set(key::Flavour, "k");
    RunResult no = answered(buildLauncher("kestro.exe"), "/create-vlm-log", "kestro", "n");
    EXPECT_EQ(no.exitCode, 0);
    ASSERT_TRUE(no.traceFile);
    EXPECT_FALSE(no.tracedPrefix(kExplorerCall));

    set(key::Flavour, "v");  // the caption follows the flavour, not the switch's spelling
    RunResult yes = answered(buildLauncher("velmora.exe"), "-create-kst-log", "velmora", "Return");
    EXPECT_EQ(yes.exitCode, 0);
    ASSERT_TRUE(yes.traceFile);
    std::string shortPath = yes.tracedAfter(std::string(kExplorerCall) + " /select,").value_or("");
    ASSERT_FALSE(shortPath.empty()) << yes.trace;
    EXPECT_NE(shortPath, windowsPath(*yes.traceFile));  // "vlm_nlog_3" is no 8.3 name
    EXPECT_EQ(shortPath.find(' '), std::string::npos);
    EXPECT_EQ(shortPath.rfind("Z:\\", 0), 0u);
    EXPECT_FALSE(yes.tracedPrefix("could not open explorer window"));
}

// Reports go to standard error with the internal quiet command line; the reader that ran
// past the end names itself. Holding the executable open with delete access lets Windows
// start it while the launcher's own read-only open of it fails. (Every truncation of the
// block is the native tests'.)
TEST_F(Startup, ALauncherThatCannotReadItselfSaysWhy) {
    std::vector<uint8_t> badMagic = format::serializeHead(head_);
    badMagic[0] ^= 0xFF;
    const fs::path locked = buildLauncher("locked.exe");
    const struct {
        fs::path exe;
        std::string report, traced;  // the beginning of a trace line
        bool lock = false;
    } cases[] = {
        {buildRaw({}, "noblock.exe"), "Internal Error: readInt", "error "},
        {buildRaw(badMagic, "magic.exe"), "Internal Error: magic", ""},
        {locked, "Error opening media file. Please move this file to an ascii-only path like c:\\",
         "ERROR: Could not open " + windowsPath(locked), true},
    };
    for (const auto& c : cases) {
        RunOptions options{.arguments = "-q_vlm_internal"};
        if (c.lock) options.lockedFile = c.exe;
        RunResult r = run(c.exe, options);
        EXPECT_EQ(r.exitCode, 1) << c.exe;
        EXPECT_EQ(r.err, r.reported(c.report));
        EXPECT_TRUE(r.tracedPrefix(c.traced)) << r.trace;
    }
}

// A launcher stored below a directory whose name the ANSI code page cannot show opens
// itself, and the vmoptions file beside it, through the short path: Cyrillic, of which
// code page 1252 has nothing, and Greek, of which the conversion could make a look-alike
// ("Omega") that names nothing.
TEST_F(Startup, ANameOutsideTheCodePageStillReadsTheBlock) {
    set(key::SearchList, "R..\\jre");
    int n = 0;
    for (const std::string name : {"\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82", "\xCE\xA9mega"}) {
        fs::create_directories(dir_ / name);
        fs::rename(buildLauncher(name + ".exe"), dir_ / name / "app.exe");
        writeBytes(dir_ / name / "app.vmoptions", "-Dfrom.file=" + std::to_string(++n) + "\n");
        RunResult r = run(dir_ / name / "app.exe");
        EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
        EXPECT_TRUE(jvmTranscript(dir_ / "jre").has("option -Dfrom.file=" + std::to_string(n))) << r.trace;
    }
}

// Wine takes the user's locale and interface language from LC_ALL. The default reads the
// user locale; a last format argument of false reads the interface language and hands
// its language and country to the VM. (Which of them counts is the native tests'.)
TEST_F(Startup, TheLocaleFollowsTheUsersLocale) {
    const std::string off = "-Dsun.locale.formatasdefault=false";
    const struct {
        const char* unixLocale;
        std::string arguments, formatTrace, code;
        Texts vmOptions;
    } cases[] = {
        {"fr_CA.UTF-8", "", "true", "fr_CA", {}},
        {"de_CH.UTF-8", off, "false", "de_CH", {off, "-Duser.language=de", "-Duser.country=CH"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        fs::path home = useRuntime("jre" + std::to_string(++n));
        RunResult r = run(buildLauncher("app" + std::to_string(n) + ".exe"),
                          {.arguments = c.arguments, .unixEnv = {{"LC_ALL", c.unixLocale}}});
        EXPECT_EQ(r.exitCode, 0) << c.unixLocale;
        int format = r.traceIndex("sun.locale.formatasdefault is " + c.formatTrace);
        EXPECT_GE(format, 0) << r.trace;
        EXPECT_GT(r.traceIndex("language/country is " + c.code, format), format) << r.trace;
        Texts locale = vmOptions(jvmTranscript(home));
        std::erase_if(locale,
                      [](const std::string& o) { return !o.starts_with("-Dsun.locale") && !o.starts_with("-Duser."); });
        EXPECT_EQ(locale, c.vmOptions) << c.unixLocale;
    }
}

TEST_F(Startup, TheStubIsAGuiPe32PlusImportingOnlySystemLibraries) {
    std::string headers = capture("x86_64-w64-mingw32-objdump -p " + stubPath().string());
    EXPECT_NE(headers.find("Magic\t\t\t020b\t(PE32+)"), std::string::npos);
    EXPECT_NE(headers.find("Subsystem\t\t00000002\t(Windows GUI)"), std::string::npos);
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "advapi32.dll", "comctl32.dll", "msvcrt.dll"};
    std::regex dll("DLL Name: (\\S+)");
    int imports = 0;
    for (std::sregex_iterator it(headers.begin(), headers.end(), dll), end; it != end; ++it, ++imports) {
        std::string name = (*it)[1];
        for (char& c : name) c = char(std::tolower(c));
        EXPECT_TRUE(allowed.count(name)) << name;
    }
    EXPECT_GT(imports, 0);
}

}  // namespace
}  // namespace kestro::e2e
