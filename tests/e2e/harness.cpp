#include "harness.h"

#include "format/block_format.h"
#include "tool/config/settings_table.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

namespace kestro::e2e {

namespace {

// Line ends as "\n"; a carriage return anywhere else stays, for tests to see.
std::string withoutCarriageReturns(std::string text) {
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    return text;
}

// The names in `dir` that `keep` accepts, sorted.
std::set<fs::path> entries(const fs::path& dir, const std::function<bool(const std::string&)>& keep) {
    std::set<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (keep(entry.path().filename().string())) found.insert(entry.path());
    return found;
}

std::set<fs::path> traceFiles(const fs::path& dir) {
    return entries(dir, [](const std::string& name) { return name.starts_with("vlm_nlog"); });
}

// The command that runs the runner in Wine with only what Wine needs in the Unix
// environment, so that the host's variables do not leak into the launcher. The runner
// ends a hung program after 60 s; a hung Wine is killed 30 s later.
std::string wineCommand(const RunOptions& options, const fs::path& plan, const fs::path& out, const fs::path& err) {
    std::map<std::string, std::string> env = {
        // KESTRO_WINEDEBUG ("err+all", say) shows Wine's own messages when a run fails
        // without a word of its own.
        {"WINEPREFIX", (buildDir() / "wineprefix").string()},
        {"WINEDEBUG", getenv("KESTRO_WINEDEBUG") ? getenv("KESTRO_WINEDEBUG") : "-all"},
        {"WINEDLLOVERRIDES", "mscoree,mshtml="}, {"HOME", getenv("HOME") ? getenv("HOME") : "/root"},
        {"PATH", "/usr/bin:/bin"}, {"LC_ALL", "C.UTF-8"}};
    for (const auto& [name, value] : options.unixEnv) env[name] = value;
    std::string command = "exec env -i";  // the tests' paths and values hold no single quote
    for (const auto& [name, value] : env) command += " '" + name + "=" + value + "'";
    std::string wine =
        "/usr/lib/wine/wine64 '" + (fixturesDir() / "envrun.exe").string() + "' '" + windowsPath(plan) + "'";
    // script(1) gives Wine a terminal and ends with the program's exit code.
    if (options.terminal) wine = "script -qec \"" + wine + "\" /dev/null";
    return command + " timeout -s KILL 90 " + wine + " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'";
}

}  // namespace

fs::path buildDir() { return KESTRO_BUILD_DIR; }
fs::path sourceDir() { return KESTRO_SOURCE_DIR; }
fs::path avianDir() { return KESTRO_AVIAN_DIR; }
std::string avianUnavailable() { return KESTRO_AVIAN_UNAVAILABLE; }
fs::path fixturesDir() { return buildDir() / "windows" / "fixtures"; }
fs::path stubPath() { return buildDir() / "windows" / "launcher" / "launcher.exe"; }

std::string windowsPath(const fs::path& path) {
    std::string text = fs::absolute(path).lexically_normal().string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return "Z:" + text;
}

std::string normalised(const fs::path& path) {
    std::string text = windowsPath(path);
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

fs::path unixPath(const std::string& windowsPath) {
    std::string path = windowsPath.starts_with("Z:") ? windowsPath.substr(2) : windowsPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string javaOf(const fs::path& home) { return normalised(home / "bin" / "java.exe"); }

std::string instanceName(const fs::path& exe, bool global) {
    std::string name = normalised(exe);
    std::ranges::replace_if(name, [](char c) { return c == '\\' || c == ' '; }, '_');
    return (global ? "Global\\" : "Local\\") + name;
}

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

std::optional<std::string> RunResult::tracedAfter(const std::string& prefix) const {
    auto values = transcript().values(prefix);
    return values.empty() ? std::nullopt : std::optional(values[0]);
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

// The hand-over files "kst_p..." (kind 'p'), or among the other "kst..." entries the run
// directories ('d') or the unique files ('f').
static std::vector<fs::path> kstEntries(const fs::path& root, char kind) {
    auto found = entries(root, [&](const std::string& name) {
        if (name.starts_with("kst_")) return kind == 'p' && name.starts_with("kst_p");
        return name.starts_with("kst") && kind == (name.find(".tmp_dir") != std::string::npos ? 'd' : 'f');
    });
    return {found.begin(), found.end()};
}

std::vector<fs::path> runDirectories(const fs::path& root) { return kstEntries(root, 'd'); }
std::vector<fs::path> uniqueFiles(const fs::path& root) { return kstEntries(root, 'f'); }
std::vector<fs::path> notificationFiles(const fs::path& root) { return kstEntries(root, 'p'); }
std::string announcedDirectory(const RunResult& r) { return r.tracedAfter("Temp dir: ").value_or("(none)"); }

void expectInOrder(const RunResult& r, const std::vector<std::string>& lines) {
    int at = -1;
    for (const std::string& line : lines) {
        int next = r.traceIndex(line, at + 1);
        EXPECT_GT(next, at) << "missing or out of order: " << line << "\n" << r.trace;
        at = std::max(at, next);
    }
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The runner's plan (see envrun.cpp) beside its output files, all named for the run.
BackgroundRun::BackgroundRun(const fs::path& exe, const RunOptions& options, const fs::path& workDir,
                             std::optional<fs::path> traceDir, std::set<fs::path>* claimedTraces)
    : traceDir_(std::move(traceDir)), claimedTraces_(claimedTraces) {
    static int counter = 0;
    std::string id = "run" + std::to_string(++counter);
    plan_ = workDir / (id + ".plan"), out_ = workDir / (id + ".out"), err_ = workDir / (id + ".err");
    stopFile_ = workDir / (id + ".stop");
    fs::remove(stopFile_);
    if (traceDir_) tracesBefore_ = traceFiles(*traceDir_);
    std::ofstream s(plan_, std::ios::binary);
    for (const auto& [name, value] : options.env) s << (value ? "set " + name + "=" + *value : "unset " + name) << "\n";
    if (options.lockedFile) s << "lock " << windowsPath(*options.lockedFile) << "\n";
    if (options.showWindow) s << "show " << *options.showWindow << "\n";
    if (options.application) s << "app " << windowsPath(*options.application) << "\n";
    if (!options.console.empty()) s << "console " << options.console << "\n";
    if (options.screen) s << "screen " << windowsPath(*options.screen) << "\n";
    s << "stop " << windowsPath(stopFile_) << "\n";
    s << "cwd " << windowsPath(options.cwd.value_or(workDir)) << "\n";
    s << "cmd " << options.commandLine.value_or("\"" + windowsPath(exe) + "\"" +
                                                (options.arguments.empty() ? "" : " " + options.arguments))
      << "\n";
    s.close();
    std::string command = wineCommand(options, plan_, out_, err_);
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    if (posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) pid_ = -1;
}

BackgroundRun::~BackgroundRun() {
    if (pid_ > 0 && !ended_) (void)stop();
}

bool BackgroundRun::running() {
    if (ended_ || pid_ <= 0) return false;
    if (waitpid(pid_, &status_, WNOHANG) != pid_) return true;
    ended_ = true;
    return false;
}

RunResult BackgroundRun::wait() {
    if (pid_ <= 0) return {};
    while (!ended_ && waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
    }
    ended_ = true;
    RunResult result;
    result.exitCode = WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    result.out = readBytes(out_);
    result.err = withoutCarriageReturns(readBytes(err_));
    // The runner starts a program again when Wine lost it during Wine's own start-up;
    // such a retry shows in the test's output, so that a Wine that fails often is noticed.
    if (std::string retries = readBytes(plan_.string() + ".retries"); !retries.empty()) {
        std::cout << "[   WINE   ] " << retries << std::flush;
        ::testing::Test::RecordProperty("wine_start_retries", retries);
    }
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
    if (traceFile_ || !traceDir_) return traceFile_.has_value();
    std::vector<fs::path> fresh;
    for (const auto& file : traceFiles(*traceDir_))
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
    auto seen = [&] { return RunResult{.trace = traceText()}.traced(line); };
    // A program that ended has written all it will: its last chance is one more look.
    waitUntil([&] { return seen() || !running(); }, timeoutMs);
    return seen();
}

void LauncherTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = buildDir() / "e2e" / info->test_suite_name() / info->name();
    // A file of the test's last run may still be going away while this removes the
    // directory (Wine deletes a delete-on-close file a moment after its process ends),
    // which fails the removal: it is made again.
    for (int attempt = 1;; ++attempt) {
        std::error_code error;
        fs::remove_all(dir_, error);
        if (!error) break;
        if (attempt == 20) throw fs::filesystem_error("cannot remove the test's directory", dir_, error);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
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
    auto entry = std::ranges::find(head_.strings, key, &format::StringEntry::key);
    if (entry != head_.strings.end()) entry->value = value;
    else head_.strings.push_back({key, value});
}

fs::path LauncherTest::layOut(const std::string& name, const layout::RuntimeLayout& runtime) {
    layout::layOutRuntime(dir_ / name, runtime, fixturesDir());
    return dir_ / name;
}

fs::path LauncherTest::useRuntime(const std::string& name, const layout::JvmScript& script,
                                  const layout::RuntimeLayout& runtime) {
    fs::path home = layOut(name, runtime);
    layout::scriptVmLibrary(vmLibraryOf(home), script);
    set(key::SearchList, "R" + name);
    return home;
}

// The stub of a launcher named `name`, which no launcher of this test had before: a
// launcher rewritten in place may still be mapped by the one that just ran from it.
format::Stub LauncherTest::stub() {
    format::Stub stub;
    std::string error;
    EXPECT_TRUE(format::loadStub(stubPath(), stub, error)) << error;
    format::setSubsystem(stub, subsystem_);
    return stub;
}

fs::path LauncherTest::buildLauncher(const std::string& name, const std::vector<format::IncludedFile>& files) {
    EXPECT_TRUE(builtNames_.insert(name).second) << name << " was built before in this test; give each its own name";
    format::Stub built = stub();
    std::string error;
    EXPECT_TRUE(format::setResources(built, resources_, error)) << error;
    EXPECT_TRUE(format::writeLauncher(built, head_, files, dir_ / name, error)) << error;
    return dir_ / name;
}

fs::path LauncherTest::buildRaw(const std::vector<uint8_t>& tail, const std::string& name) {
    EXPECT_TRUE(builtNames_.insert(name).second) << name << " was built before in this test; give each its own name";
    format::Stub built = stub();
    std::ofstream file(dir_ / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(built.image.data()), std::streamsize(built.image.size()));
    file.write(reinterpret_cast<const char*>(tail.data()), std::streamsize(tail.size()));
    return dir_ / name;
}

std::unique_ptr<BackgroundRun> LauncherTest::start(const fs::path& exe, RunOptions options) {
    options.env.try_emplace("TMP", windowsPath(tmp_));
    options.env.try_emplace("TEMP", windowsPath(tmp_));
    options.env.try_emplace("KESTRO_LOG", options.trace ? std::optional<std::string>("yes") : std::nullopt);
    options.env.try_emplace("VELMORA_LOG", std::nullopt);
    // A trace file that is gone may be made again under its name by a later run.
    std::erase_if(claimedTraces_, [](const fs::path& file) { return !fs::exists(file); });
    return std::make_unique<BackgroundRun>(exe, options, dir_, options.traceDir.value_or(tmp_), &claimedTraces_);
}

}  // namespace kestro::e2e
