// kestro run: a launcher under Wine, in a prefix of kestro's own, with a stand-in Java
// runtime whose VM library hands the launch to the host's JDK.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "format/config_keys.h"
#include "tool/commands/commands.h"
#include "tool/inspect/launcher_contents.h"
#include "tool/platform/host_process.h"
#include "tool/platform/program.h"
#include "tool/run/run_plan.h"
#include "tool/run/stand_in_runtime.h"
#include "tool/text/code_page.h"
#include "tool/text/command_line_text.h"

namespace kestro::tool {

namespace {

namespace fs = std::filesystem;

// The launcher's temporary files and trace go here (drive C: of the prefix), so that
// kestro run finds the trace, and two runs of one launcher meet for the hand-over.
constexpr const char* kTempDirectory = "C:\\kestro\\temp";

run::HostQueries hostQueries() {
    return {.variable = environmentVariable, .isProgram = isProgram};
}

EnvironmentChanges wineEnvironment(const fs::path& prefix) {
    EnvironmentChanges env{{"WINEPREFIX", prefix.string()},
                           // No installers of Wine's .NET and browser parts, which no launcher needs.
                           {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
    if (!environmentVariable("WINEDEBUG")) env["WINEDEBUG"] = "-all";
    return env;
}

void runInPrefix(const fs::path& wine, const fs::path& prefix, const std::vector<std::string>& arguments,
                 const std::string& step) {
    EnvironmentChanges env = wineEnvironment(prefix);
    env["DISPLAY"] = std::nullopt;  // no window while the prefix is made
    // Wine now and then fails to start a process at all (exit code 53: its loader could not
    // set up kernel32); that alone is tried again, twice at most.
    CapturedRun run = captureProgram(wine, arguments, env);
    for (int attempt = 2; run.exitCode == 53 && attempt <= 3; ++attempt) run = captureProgram(wine, arguments, env);
    if (run.exitCode != 0)
        throw std::runtime_error("cannot make the Wine prefix " + prefix.string() + " (" + step + " ended with " +
                                 std::to_string(run.exitCode) + "):\n" + run.output);
}

// Makes the prefix on first use; a lock keeps two first runs from making it together.
void ensurePrefix(const fs::path& wine, const fs::path& cache, const fs::path& prefix, std::ostream& err) {
    fs::path ready = prefix / "kestro-prefix-ready";
    if (fs::exists(ready)) return;
    fs::create_directories(cache);
    FileLock lock(cache / "wine-prefix.lock");
    if (fs::exists(ready)) return;
    err << "kestro run: making a Wine prefix in " << prefix.string() << " (first run only; this takes a minute)"
        << std::endl;
    fs::remove_all(prefix);  // a half-made one
    fs::create_directories(prefix);
    runInPrefix(wine, prefix, {"wineboot", "--init"}, "wineboot");
    for (const char* name : {"TEMP", "TMP"})
        runInPrefix(wine, prefix, {"reg", "add", "HKCU\\Environment", "/v", name, "/t", "REG_SZ", "/d", kTempDirectory, "/f"},
                    "reg add");
    fs::create_directories(prefix / "drive_c" / "kestro" / "temp");
    std::ofstream(ready) << "made by kestro run\n";
}

std::string hostJavaVersion(const fs::path& java) {
    EnvironmentChanges env;
    for (const char* name : {"JAVA_TOOL_OPTIONS", "JDK_JAVA_OPTIONS", "_JAVA_OPTIONS"}) env[name] = std::nullopt;
    CapturedRun run = captureProgram(java, {"-version"}, env);
    if (run.exitCode != 0)
        throw std::runtime_error(java.string() + " -version ended with " + std::to_string(run.exitCode) + ":\n" +
                                 run.output);
    return run.output;
}

std::optional<std::string> stored(const format::BlockHead& head, format::ConfigKey key) {
    for (const format::StringEntry& entry : head.strings)
        if (entry.key == key) return entry.value;
    return std::nullopt;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

std::set<fs::path> traceFiles(const fs::path& directory) {
    std::set<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(directory, ec))
        if (entry.path().filename().string().starts_with("vlm_nlog_")) found.insert(entry.path());
    return found;
}

std::string withoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

// The working files, removed at the end unless kept.
class WorkFiles {
public:
    WorkFiles(fs::path directory, bool keep) : directory_(std::move(directory)), keep_(keep) {}
    ~WorkFiles() {
        std::error_code ec;
        if (!keep_)
            for (const fs::path& path : paths_) fs::remove_all(path, ec);
    }
    const fs::path& directory() const { return directory_; }
    void add(const fs::path& path) { paths_.push_back(path); }

private:
    fs::path directory_;
    bool keep_;
    std::vector<fs::path> paths_;
};

fs::path makeWorkDirectory(const fs::path& cache) {
    fs::create_directories(cache / "runs");
    std::string pattern = (cache / "runs" / "run-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a directory in " + (cache / "runs").string());
    return pattern;
}

}  // namespace

int runLauncher(const RunRequest& request, std::ostream& err) {
    fs::path launcher = fs::absolute(request.launcher).lexically_normal();
    LauncherContents contents;
    try {
        contents = readLauncher(launcher, CodePage::Windows1252);
    } catch (const InspectError& e) {
        throw std::runtime_error(std::string(e.what()) + "; kestro run runs launchers that kestro build wrote");
    }
    // Quoted as the launcher splits its command line, which Wine's own quoting of Linux
    // arguments is not.
    std::string commandLineText = "\"" + run::windowsPath(launcher) + "\" " + joinArguments(request.arguments);
    run::HostQueries host = hostQueries();
    fs::path wine = run::findWine(host);
    fs::path java = run::findJava(request.javaHome, host);
    fs::path standIn = run::standInFiles(programDirectory());
    run::StandInRuntime runtime{.java = fs::absolute(java), .versionText = hostJavaVersion(java)};
    std::error_code ec;
    runtime.jdk = isProgram(fs::canonical(java, ec).parent_path() / "javac");

    fs::path cache = run::cacheDirectory(host), prefix = cache / "wine";
    ensurePrefix(wine, cache, prefix, err);

    WorkFiles work(makeWorkDirectory(cache), request.keep);
    work.add(work.directory());
    EnvironmentChanges env = wineEnvironment(prefix);
    fs::path home;
    std::string where = firstLine(runtime.versionText) + " from " + java.string();
    if (request.runtimeDirectory) {
        home = launcher.parent_path() / *request.runtimeDirectory;
        if (!run::mayHoldStandIn(home))
            throw std::runtime_error("--runtime " + request.runtimeDirectory->string() + ": " + home.string() +
                                     " exists; kestro run lays the stand-in runtime out only where nothing else is");
        work.add(home);
        err << "kestro run: stand-in runtime (" << where << ") in " << home.string() << "\n";
    } else {
        home = work.directory() / "runtime";
        run::RuntimeRoute route = run::routeFor(stored(contents.head, key::SearchList));
        env[route.variable] = run::windowsPath(home);
        err << "kestro run: stand-in runtime (" << where << ") in " << home.string() << ", found through "
            << route.variable
            << (route.fromSearchList ? " of the launcher's search list" : ", which every launcher tries last")
            << " (--runtime DIR places it elsewhere)\n";
    }
    run::layOutStandIn(standIn, home, runtime);
    env["KESTRO_LOG"] = request.trace ? std::optional<std::string>("yes") : std::nullopt;
    env["VELMORA_LOG"] = std::nullopt;
    // Nobody is there to click a message box, and without a display Wine shows none:
    // the launcher writes each one to standard error and goes on as its default button.
    env["KESTRO_MESSAGE_BOXES"] = "stderr";
    run::VersionBounds bounds{.lower = stored(contents.head, key::MinVersion).value_or(""),
                              .upper = stored(contents.head, key::MaxVersion).value_or(""),
                              .prereleaseAllowed = std::atoi(stored(contents.head, key::AllowPrerelease).value_or("0").c_str()) != 0};
    if (auto notice = run::boundsNotice(bounds, runtime.versionText, java)) err << "kestro run: " << *notice << "\n";

    fs::path temp = prefix / "drive_c" / "kestro" / "temp";
    std::set<fs::path> tracesBefore = traceFiles(temp);
    fs::path commandLine = work.directory() / "command-line.txt";
    std::ofstream(commandLine, std::ios::binary) << commandLineText;
    int exitCode = runProgram(wine, {(standIn / "runner.exe").string(), run::windowsPath(commandLine)}, env);

    if (request.trace)
        for (const fs::path& trace : traceFiles(temp)) {
            if (tracesBefore.contains(trace)) continue;
            std::ifstream in(trace, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            // The trace is in the ANSI code page, windows-1252 in a prefix of a Latin locale.
            std::string shown = fromCodePage(text.str(), CodePage::Windows1252).value_or(text.str());
            err << "kestro run: the launcher's trace (" << kTempDirectory << "\\" << trace.filename().string()
                << "):\n" << withoutCarriageReturns(shown);
            if (!request.keep) fs::remove(trace, ec);
        }
    if (request.keep)
        err << "kestro run: kept the working files in " << work.directory().string() << " and the Wine prefix in "
            << prefix.string() << " (WINEPREFIX=" << prefix.string() << ")\n";
    return exitCode;
}

}  // namespace kestro::tool
