// Processes of the machine the tool runs on, for `kestro run` (Linux only: the Windows
// tool has no such command).
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kestro::tool {

// Changes to the tool's own environment for a child: a value sets, none removes.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

struct CapturedRun {
    int exitCode = 0;
    std::string output;  // standard output and error, interleaved as written (the first MiB)
};

// Runs `program` with `arguments` and the changed environment, its standard streams
// the tool's own, and waits for it. Returns its exit code, 128 + the signal's number
// when a signal ended it. While it runs, the tool ignores the terminal's interrupt,
// which reaches the child, so that it can still clean up after it. Throws
// std::runtime_error when it cannot be started.
int runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const EnvironmentChanges& environment);

// The same with standard input empty and the output captured; it returns when the
// program ends, whatever it left running.
CapturedRun captureProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           const EnvironmentChanges& environment);

// Whether `path` is a regular file this user may execute.
bool isProgram(const std::filesystem::path& path);

std::optional<std::string> environmentVariable(const std::string& name);

// An exclusive lock on a file (created when missing), held until destruction.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace kestro::tool
