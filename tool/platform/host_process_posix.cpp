#include "tool/platform/host_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace kestro::tool {

namespace {

// Ignores the terminal's interrupt and quit keys while it lives, as system() does.
class IgnoredInterrupts {
public:
    IgnoredInterrupts() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGINT, &ignore, &oldInt_);
        sigaction(SIGQUIT, &ignore, &oldQuit_);
    }
    ~IgnoredInterrupts() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGQUIT, &oldQuit_, nullptr);
    }

private:
    struct sigaction oldInt_ {}, oldQuit_ {};
};

std::vector<std::string> changedEnvironment(const EnvironmentChanges& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        if (!changes.contains(text.substr(0, text.find('=')))) entries.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (value) entries.push_back(name + "=" + *value);
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (std::string& text : texts) out.push_back(text.data());
    out.push_back(nullptr);
    return out;
}

// Starts the program; `output` (when not -1) becomes its standard output and error,
// and its standard input is empty then.
pid_t spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const EnvironmentChanges& environment, int output) {
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envp = changedEnvironment(environment);
    std::vector<char*> argp = pointers(argv), envpp = pointers(envp);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output >= 0) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, output, 1);
        posix_spawn_file_actions_adddup2(&actions, output, 2);
    }
    // The child gets the interrupt keys back, whatever the tool does with them.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGQUIT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    int error = posix_spawn(&pid, argv[0].c_str(), &actions, &attributes, argp.data(), envpp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) throw std::runtime_error("cannot start " + program.string() + ": " + std::strerror(error));
    return pid;
}

int waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return 127;
    return WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 127;
}

}  // namespace

int runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const EnvironmentChanges& environment) {
    IgnoredInterrupts ignored;
    return waitFor(spawn(program, arguments, environment, -1));
}

// The output goes to an unlinked temporary file rather than a pipe, and the wait is for
// the program alone: a program may leave a daemon behind that keeps its standard output
// (wineboot starts a wineserver that outlives it), and a pipe would not end before it.
CapturedRun captureProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           const EnvironmentChanges& environment) {
    std::string name = (std::filesystem::temp_directory_path() / "kestro-output-XXXXXX").string();
    int file = mkostemp(name.data(), O_CLOEXEC);
    if (file < 0) throw std::runtime_error("cannot make a temporary file " + name + ": " + std::strerror(errno));
    unlink(name.c_str());
    CapturedRun run;
    try {
        run.exitCode = waitFor(spawn(program, arguments, environment, file));
    } catch (...) {
        close(file);
        throw;
    }
    constexpr off_t kMostKept = 1 << 20;  // what is shown of a failure; the rest is dropped
    char buffer[4096];
    for (off_t at = 0; at < kMostKept;) {
        ssize_t n = pread(file, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        run.output.append(buffer, size_t(n));
        at += n;
    }
    close(file);
    return run;
}

bool isProgram(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> environmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

FileLock::FileLock(const std::filesystem::path& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + path.string() + ": " + std::strerror(errno));
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        std::string why = std::strerror(errno);
        close(fd_);
        throw std::runtime_error("cannot lock " + path.string() + ": " + why);
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) close(fd_);
}

}  // namespace kestro::tool
