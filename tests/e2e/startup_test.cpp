// The start-up sequence seen from outside: the order of its steps in the trace, the
// special command lines, the working directory, the trace switch, the reports of a
// launcher that cannot read itself, and the stub as a file.
#include "harness.h"

#include <algorithm>
#include <regex>

namespace kestro::e2e {
namespace {

using Startup = LauncherTest;
using Texts = std::vector<std::string>;

// Each line of `lines` is in the trace, after the one before it.
void expectInOrder(const RunResult& r, const Texts& lines) {
    int at = -1;
    for (const std::string& line : lines) {
        int next = r.traceIndex(line, at + 1);
        EXPECT_GT(next, at) << "missing or out of order: " << line << "\n" << r.trace;
        if (next > at) at = next;
    }
}

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
    int path = r.traceIndex("Setting PATH (native libs) C:\\windows");
    EXPECT_GT(path, extracting) << r.trace;
    EXPECT_EQ(r.traceIndex("LoadDLL (1, (null), 0)"), path + 1) << r.trace;
    expectInOrder(r, {"working directory unchanged", "extracting files", "Searching for a JVM",
                      "Loading of JVM-DLL successful", "launching program", "Creating JVM", "launch done"});
    EXPECT_TRUE(runDirectories(tmp_).empty() && uniqueFiles(tmp_).empty());
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
// own (reboot_test.cpp); with a further argument it is an ordinary start.
TEST_F(Startup, TheRebootWordWithAFurtherArgumentIsANormalStart) {
    RunResult normal = run(buildRaw({}), {.arguments = "__vlm_reboot x"});  // no block: reading it is fatal
    EXPECT_EQ(normal.exitCode, 1);
    EXPECT_TRUE(normal.tracedPrefix("number of sections: "));
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
    EXPECT_FALSE(switched.tracedPrefix("calling C:\\windows\\explorer.exe")) << switched.trace;
    EXPECT_EQ(run(exe, {.arguments = "-create-vlm-log x"}).traceFile, tmp_ / "vlm_nlog_5");
    EXPECT_EQ(std::ranges::count_if(fs::directory_iterator(tmp_), [](const auto& e) {
                  return e.path().filename().string().starts_with("vlm_nlog");
              }), 4);
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
