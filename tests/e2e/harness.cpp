#include "harness.h"

#include "format/config_keys.h"
#include "support/runtime_layout.h"
#include "tool/settings_table.h"

#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace kestro::e2e {

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string withoutCarriageReturns(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

std::set<fs::path> traceFiles(const fs::path& dir) {
    std::set<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().filename().string().rfind("vlm_nlog", 0) == 0) found.insert(entry.path());
    return found;
}

// The Unix environment for Wine: only what Wine needs, so that the host's variables do
// not leak into the launcher.
std::vector<std::string> wineEnvironment(const RunOptions& options) {
    std::map<std::string, std::string> env = {
        {"WINEPREFIX", (buildDir() / "wineprefix").string()},
        {"WINEDEBUG", "-all"},
        {"WINEDLLOVERRIDES", "mscoree,mshtml="},
        {"HOME", getenv("HOME") ? getenv("HOME") : "/root"},
        {"PATH", "/usr/bin:/bin"},
        {"LC_ALL", "C.UTF-8"},
    };
    for (const auto& [name, value] : options.unixEnv) env[name] = value;
    std::vector<std::string> out;
    for (const auto& [name, value] : env) out.push_back(name + "=" + value);
    return out;
}

int spawnAndWait(const std::vector<std::string>& argv, const std::vector<std::string>& env, const fs::path& out,
                 const fs::path& err, int timeoutMs) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs + 30000);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}

}  // namespace

fs::path buildDir() { return KESTRO_BUILD_DIR; }
fs::path stubPath() { return buildDir() / "windows" / "launcher" / "launcher.exe"; }
fs::path fixturesDir() { return buildDir() / "windows" / "fixtures"; }
fs::path fixture(const std::string& name) { return fixturesDir() / name; }

std::string windowsPath(const fs::path& path) {
    std::string text = fs::absolute(path).lexically_normal().string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return "Z:" + text;
}

std::vector<std::string> RunResult::traceLines() const {
    std::vector<std::string> lines;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool RunResult::traced(const std::string& line) const { return traceIndex(line) >= 0; }

bool RunResult::tracedPrefix(const std::string& start) const {
    for (const auto& line : traceLines())
        if (line.rfind(start, 0) == 0) return true;
    return false;
}

int RunResult::traceIndex(const std::string& line, int from) const {
    auto lines = traceLines();
    for (size_t i = size_t(from < 0 ? 0 : from); i < lines.size(); ++i)
        if (lines[i] == line) return int(i);
    return -1;
}

RunResult runWindowsProgram(const fs::path& exe, const RunOptions& options, const fs::path& workDir) {
    static int counter = 0;
    std::string id = std::to_string(++counter);
    fs::path plan = workDir / ("run" + id + ".plan");
    {
        std::ofstream s(plan, std::ios::binary);
        for (const auto& [name, value] : options.env) {
            if (value) s << "set " << name << "=" << *value << "\n";
            else s << "unset " << name << "\n";
        }
        if (options.lockedFile) s << "lock " << windowsPath(*options.lockedFile) << "\n";
        if (options.application) s << "app " << windowsPath(*options.application) << "\n";
        s << "cwd " << windowsPath(options.cwd.value_or(workDir)) << "\n";
        s << "timeout " << options.timeoutMs << "\n";
        s << "cmd " << options.commandLine.value_or("\"" + windowsPath(exe) + "\"" +
                                                    (options.arguments.empty() ? "" : " " + options.arguments))
          << "\n";
    }
    fs::path out = workDir / ("run" + id + ".out"), err = workDir / ("run" + id + ".err");
    RunResult result;
    result.exitCode = spawnAndWait({"/usr/lib/wine/wine64", fixture("envrun.exe").string(), windowsPath(plan)},
                                   wineEnvironment(options), out, err, options.timeoutMs);
    result.out = readFile(out);
    result.err = withoutCarriageReturns(readFile(err));
    return result;
}

void addDefaultMessages(format::BlockHead& head) {
    for (const auto& setting : tool::allSettings())
        if (setting.group == "messages" && setting.defaultText)
            head.strings.push_back({setting.key, std::string(*setting.defaultText)});
}

void LauncherTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = buildDir() / "e2e" / info->test_suite_name() / info->name();
    fs::remove_all(dir_);
    tmp_ = dir_ / "tmp";
    fs::create_directories(tmp_);
    addDefaultMessages(head_);
    // A stand-in runtime beside every launcher, so that a start runs through to its
    // normal end unless the test changes the search list.
    layout::layOutRuntime(dir_ / "jre", {.vmLibraries = {"bin/server/jvm.dll"}}, fixturesDir());
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

fs::path LauncherTest::buildLauncher(const std::string& name, const std::vector<format::IncludedFile>& files) {
    format::Stub stub;
    std::string error;
    EXPECT_TRUE(format::loadStub(stubPath(), stub, error)) << error;
    fs::path out = dir_ / name;
    EXPECT_TRUE(format::writeLauncher(stub, head_, files, out, error)) << error;
    return out;
}

fs::path LauncherTest::buildRaw(const std::vector<uint8_t>& tail, const std::string& name) {
    format::Stub stub;
    std::string error;
    EXPECT_TRUE(format::loadStub(stubPath(), stub, error)) << error;
    fs::path out = dir_ / name;
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(stub.image.data()), std::streamsize(stub.image.size()));
    file.write(reinterpret_cast<const char*>(tail.data()), std::streamsize(tail.size()));
    return out;
}

RunResult LauncherTest::run(const fs::path& exe, RunOptions options) {
    options.env.try_emplace("TMP", windowsPath(tmp_));
    options.env.try_emplace("TEMP", windowsPath(tmp_));
    options.env.try_emplace("KESTRO_LOG", options.trace ? std::optional<std::string>("yes") : std::nullopt);
    options.env.try_emplace("VELMORA_LOG", std::nullopt);
    fs::path traceDir = options.traceDir.value_or(tmp_);
    auto before = traceFiles(traceDir);
    RunResult result = runWindowsProgram(exe, options, dir_);
    for (const auto& file : traceFiles(traceDir))
        if (!before.count(file)) {
            result.traceFile = file;
            result.trace = withoutCarriageReturns(readFile(file));
        }
    return result;
}

}  // namespace kestro::e2e
