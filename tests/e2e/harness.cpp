#include "harness.h"

#include "format/block_format.h"
#include "tool/config/settings_table.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace kestro::e2e {

namespace {

// Line ends as "\n"; a carriage return anywhere else stays, for tests to see.
std::string withoutCarriageReturns(std::string text) {
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    return text;
}

std::set<fs::path> traceFiles(const fs::path& dir) {
    std::set<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().filename().string().rfind("vlm_nlog", 0) == 0) found.insert(entry.path());
    return found;
}

// The command that runs the runner in Wine with only what Wine needs in the Unix
// environment, so that the host's variables do not leak into the launcher. The runner
// ends a hung program after 60 s; a hung Wine is killed 30 s later.
std::string wineCommand(const RunOptions& options, const fs::path& plan, const fs::path& out, const fs::path& err) {
    std::map<std::string, std::string> env = {
        {"WINEPREFIX", (buildDir() / "wineprefix").string()},
        {"WINEDEBUG", "-all"},
        {"WINEDLLOVERRIDES", "mscoree,mshtml="},
        {"HOME", getenv("HOME") ? getenv("HOME") : "/root"},
        {"PATH", "/usr/bin:/bin"},
        {"LC_ALL", "C.UTF-8"},
    };
    for (const auto& [name, value] : options.unixEnv) env[name] = value;
    std::string command = "exec env -i";  // the tests' paths and values hold no single quote
    for (const auto& [name, value] : env) command += " '" + name + "=" + value + "'";
    std::string wine =
        "/usr/lib/wine/wine64 '" + (fixturesDir() / "envrun.exe").string() + "' '" + windowsPath(plan) + "'";
    // script(1) gives Wine a terminal and ends with the program's exit code.
    if (options.terminal) wine = "script -qec \"" + wine + "\" /dev/null";
    command += " timeout -s KILL 90 " + wine + " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'";
    return command;
}

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

// The runner starts a program again when Wine lost it during Wine's own start-up; such
// a retry shows in the test's output, so that a Wine that fails often is noticed.
void reportStartRetries(const fs::path& plan) {
    fs::path notes = plan.string() + ".retries";
    if (!fs::exists(notes)) return;
    std::string text = readBytes(notes);
    std::cout << "[   WINE   ] " << text << std::flush;
    ::testing::Test::RecordProperty("wine_start_retries", text);
}

}  // namespace

fs::path buildDir() { return KESTRO_BUILD_DIR; }
fs::path fixturesDir() { return buildDir() / "windows" / "fixtures"; }
fs::path stubPath() { return buildDir() / "windows" / "launcher" / "launcher.exe"; }

std::string windowsPath(const fs::path& path) {
    std::string text = fs::absolute(path).lexically_normal().string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return "Z:" + text;
}

std::string normalised(const fs::path& path) {
    std::string text = windowsPath(path);
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string javaOf(const fs::path& home) { return normalised(home / "bin" / "java.exe"); }

std::string capture(const std::string& command) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[4096];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    return out;
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::path writeBytes(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string message(format::ConfigKey key, const std::string& argument) {
    std::string text(*tool::findSetting(key)->defaultText);
    size_t at = text.find("{0}");
    if (at != std::string::npos && !argument.empty()) text.replace(at, 3, argument);
    return text;
}

std::vector<std::string> RunResult::traceLines() const {
    std::vector<std::string> lines;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int RunResult::traceIndex(const std::string& line, int from) const {
    auto lines = traceLines();
    for (size_t i = size_t(from < 0 ? 0 : from); i < lines.size(); ++i)
        if (lines[i] == line) return int(i);
    return -1;
}

std::optional<std::string> RunResult::tracedAfter(const std::string& prefix) const {
    for (const auto& line : traceLines())
        if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
    return std::nullopt;
}

int RunResult::countTraced(const std::string& prefix) const {
    int n = 0;
    for (const auto& line : traceLines()) n += line.rfind(prefix, 0) == 0;
    return n;
}

std::string RunResult::reported(const std::string& text) const {
    return text + "\n\nLog: " + (traceFile ? windowsPath(*traceFile) : "(no trace file)") + "\n";
}

std::string everyByteValue(size_t n) {
    std::string out(n, '\0');
    for (size_t i = 0; i < n; ++i) out[i] = char(uint8_t(i * 7 + (i >> 8) + (i >> 16)));
    return out;
}

std::vector<uint8_t> withRecords(const format::BlockHead& head, const std::vector<std::string>& contents,
                                 int64_t lastDeclaredSize) {
    std::vector<uint8_t> out = format::serializeHead(head);
    for (size_t n = 0; n < contents.size(); ++n) {
        const std::string& content = contents[n];
        uint64_t size = n + 1 == contents.size() && lastDeclaredSize >= 0 ? uint64_t(lastDeclaredSize) : content.size();
        for (int i = 0; i < 8; ++i) out.push_back(uint8_t(size >> (8 * i)));
        out.insert(out.end(), content.begin(), content.end());
        format::scramble(out.data() + out.size() - content.size(), content.size());
    }
    return out;
}

static std::vector<fs::path> kstEntries(const fs::path& root, bool directories) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("kst", 0) != 0 || name.rfind("kst_", 0) == 0) continue;
        if ((name.find(".tmp_dir") != std::string::npos) == directories) out.push_back(entry.path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<fs::path> runDirectories(const fs::path& root) { return kstEntries(root, true); }
std::vector<fs::path> uniqueFiles(const fs::path& root) { return kstEntries(root, false); }

std::string announcedDirectory(const RunResult& r) { return r.tracedAfter("Temp dir: ").value_or("(none)"); }

fs::path unixPath(const std::string& windowsPath) {
    std::string path = windowsPath.rfind("Z:", 0) == 0 ? windowsPath.substr(2) : windowsPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

namespace {

// The files of one run of the runner: its plan, and where its output goes.
struct RunFiles {
    fs::path plan, out, err;
};

RunFiles writePlan(const fs::path& exe, const RunOptions& options, const fs::path& workDir,
                   const std::optional<fs::path>& stopFile) {
    static int counter = 0;
    std::string id = std::to_string(++counter);
    RunFiles files{workDir / ("run" + id + ".plan"), workDir / ("run" + id + ".out"), workDir / ("run" + id + ".err")};
    std::ofstream s(files.plan, std::ios::binary);
    for (const auto& [name, value] : options.env) {
        if (value) s << "set " << name << "=" << *value << "\n";
        else s << "unset " << name << "\n";
    }
    if (options.lockedFile) s << "lock " << windowsPath(*options.lockedFile) << "\n";
    if (stopFile) s << "stop " << windowsPath(*stopFile) << "\n";
    if (options.showWindow) s << "show " << *options.showWindow << "\n";
    if (options.application) s << "app " << windowsPath(*options.application) << "\n";
    s << "cwd " << windowsPath(options.cwd.value_or(workDir)) << "\n";
    s << "cmd " << options.commandLine.value_or("\"" + windowsPath(exe) + "\"" +
                                                (options.arguments.empty() ? "" : " " + options.arguments))
      << "\n";
    return files;
}

RunResult collect(int exitCode, const RunFiles& files) {
    RunResult result;
    result.exitCode = exitCode;
    result.out = readBytes(files.out);
    result.err = withoutCarriageReturns(readBytes(files.err));
    reportStartRetries(files.plan);
    return result;
}

}  // namespace

RunResult runWindowsProgram(const fs::path& exe, const RunOptions& options, const fs::path& workDir) {
    RunFiles files = writePlan(exe, options, workDir, std::nullopt);
    int status = std::system(wineCommand(options, files.plan, files.out, files.err).c_str());
    return collect(exitCodeOf(status), files);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

BackgroundRun::BackgroundRun(const fs::path& exe, const RunOptions& options, const fs::path& workDir,
                             const fs::path& traceDir, std::set<fs::path>* claimedTraces)
    : traceDir_(traceDir), claimedTraces_(claimedTraces), tracesBefore_(traceFiles(traceDir)) {
    static int counter = 0;
    stopFile_ = workDir / ("background" + std::to_string(++counter) + ".stop");
    fs::remove(stopFile_);
    RunFiles files = writePlan(exe, options, workDir, stopFile_);
    plan_ = files.plan;
    out_ = files.out;
    err_ = files.err;
    std::string command = wineCommand(options, files.plan, files.out, files.err);
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    if (posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) pid_ = -1;
}

BackgroundRun::~BackgroundRun() {
    if (pid_ > 0 && !ended_) (void)stop();
}

bool BackgroundRun::running() {
    if (ended_ || pid_ <= 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    ended_ = true;
    status_ = status;
    return false;
}

RunResult BackgroundRun::wait() {
    if (pid_ <= 0) return {};
    if (!ended_) {
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        ended_ = true;
        status_ = status;
    }
    RunFiles files{plan_, out_, err_};
    RunResult result = collect(exitCodeOf(status_), files);
    if (claimTrace()) {
        result.traceFile = traceFile_;
        result.trace = withoutCarriageReturns(readBytes(*traceFile_));
    }
    return result;
}

RunResult BackgroundRun::stop() {
    if (!ended_) writeBytes(stopFile_, "");
    return wait();
}

bool BackgroundRun::claimTrace() {
    if (traceFile_) return true;
    std::vector<fs::path> fresh;
    for (const auto& file : traceFiles(traceDir_))
        if (!tracesBefore_.count(file) && !claimedTraces_->count(file)) fresh.push_back(file);
    if (fresh.size() != 1) return false;
    traceFile_ = fresh.front();
    claimedTraces_->insert(*traceFile_);
    return true;
}

std::string BackgroundRun::traceText() {
    return claimTrace() ? withoutCarriageReturns(readBytes(*traceFile_)) : std::string();
}

bool BackgroundRun::waitForTraceLine(const std::string& line, int timeoutMs) {
    bool found = false;
    auto seen = [&] {
        std::istringstream in(traceText());
        for (std::string each; std::getline(in, each) && !found;) found = each == line;
        return found;
    };
    // A program that ended has written all it will: its last chance is one more look.
    waitUntil([&] { return seen() || !running(); }, timeoutMs);
    return found || seen();
}

void LauncherTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = buildDir() / "e2e" / info->test_suite_name() / info->name();
    fs::remove_all(dir_);
    tmp_ = dir_ / "tmp";
    fs::create_directories(tmp_);
    for (const auto& setting : tool::allSettings())
        if (setting.group == "messages" && setting.defaultText)
            head_.strings.push_back({setting.key, std::string(*setting.defaultText)});
    // A stand-in runtime beside every launcher, so that a start runs through to its
    // normal end unless the test changes the search list.
    layOut("jre");
    set(key::SearchList, "Rjre");
}

void LauncherTest::set(format::ConfigKey key, const std::string& value) {
    for (auto& entry : head_.strings)
        if (entry.key == key) {
            entry.value = value;
            return;
        }
    head_.strings.push_back({key, value});
}

fs::path LauncherTest::layOut(const std::string& name, const layout::RuntimeLayout& runtime) {
    layout::layOutRuntime(dir_ / name, runtime, fixturesDir());
    return dir_ / name;
}

void LauncherTest::claimName(const std::string& name) {
    // A launcher rewritten in place may still be mapped by the one that just ran from it.
    EXPECT_TRUE(builtNames_.insert(name).second) << name << " was already built in this test; give each launcher its own name";
}

fs::path LauncherTest::buildLauncher(const std::string& name, const std::vector<format::IncludedFile>& files) {
    claimName(name);
    format::Stub stub;
    std::string error;
    EXPECT_TRUE(format::loadStub(stubPath(), stub, error)) << error;
    format::setSubsystem(stub, subsystem_);
    EXPECT_TRUE(format::setResources(stub, resources_, error)) << error;
    EXPECT_TRUE(format::writeLauncher(stub, head_, files, dir_ / name, error)) << error;
    return dir_ / name;
}

fs::path LauncherTest::buildRaw(const std::vector<uint8_t>& tail, const std::string& name) {
    claimName(name);
    format::Stub stub;
    std::string error;
    EXPECT_TRUE(format::loadStub(stubPath(), stub, error)) << error;
    format::setSubsystem(stub, subsystem_);
    std::ofstream file(dir_ / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(stub.image.data()), std::streamsize(stub.image.size()));
    file.write(reinterpret_cast<const char*>(tail.data()), std::streamsize(tail.size()));
    return dir_ / name;
}

RunOptions LauncherTest::withDefaults(RunOptions options) const {
    options.env.try_emplace("TMP", windowsPath(tmp_));
    options.env.try_emplace("TEMP", windowsPath(tmp_));
    options.env.try_emplace("KESTRO_LOG", options.trace ? std::optional<std::string>("yes") : std::nullopt);
    options.env.try_emplace("VELMORA_LOG", std::nullopt);
    return options;
}

void LauncherTest::forgetRemovedTraces() {
    std::erase_if(claimedTraces_, [](const fs::path& file) { return !fs::exists(file); });
}

RunResult LauncherTest::run(const fs::path& exe, RunOptions options) {
    options = withDefaults(std::move(options));
    forgetRemovedTraces();
    fs::path traceDir = options.traceDir.value_or(tmp_);
    auto before = traceFiles(traceDir);
    RunResult result = runWindowsProgram(exe, options, dir_);
    for (const auto& file : traceFiles(traceDir))
        if (!before.count(file) && !claimedTraces_.count(file)) {
            result.traceFile = file;
            result.trace = withoutCarriageReturns(readBytes(file));
        }
    if (result.traceFile) claimedTraces_.insert(*result.traceFile);
    return result;
}

std::unique_ptr<BackgroundRun> LauncherTest::start(const fs::path& exe, RunOptions options) {
    options = withDefaults(std::move(options));
    forgetRemovedTraces();
    fs::path traceDir = options.traceDir.value_or(tmp_);
    return std::make_unique<BackgroundRun>(exe, options, dir_, traceDir, &claimedTraces_);
}

RunResult LauncherTest::driveVm(const fs::path& home, const std::string& arguments) {
    fs::path driver = fixturesDir() / "vm_driver.exe";
    return runWindowsProgram(
        driver, {.commandLine = "\"" + windowsPath(driver) + "\" \"" + windowsPath(vmLibraryOf(home)) + "\" " + arguments},
        dir_);
}

}  // namespace kestro::e2e
