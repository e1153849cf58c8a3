// Shared ground for the tests under Wine: a fresh folder per test below the test
// program, the stand-ins of the Windows build, the new lines of this process's trace,
// and removal of the version cache entries a test made.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/runtime_layout.h"

namespace kestro::test {

namespace fs = std::filesystem;

fs::path fixturesDirectory();  // the Windows build's stand-ins

// Thrown where the launcher would end the process (its exit routine, replaced in this
// program): a test that does not expect it fails with the exit code, the others go on.
struct LauncherExit : std::runtime_error {
    explicit LauncherExit(uint32_t exitCode)
        : std::runtime_error("the launcher ended the process with exit code " + std::to_string(exitCode)),
          code(exitCode) {}
    uint32_t code;
};

// The trace lines written since construction (or the last mark()). Read from the file
// while the process runs, so they also show that each record is on disk at once.
class TraceTail {
public:
    TraceTail() { mark(); }
    void mark();
    std::vector<std::string> lines() const;
    // Index of the first line equal to `line` at or after `from`, or -1.
    int index(const std::string& line, int from = 0) const;
    bool has(const std::string& line) const { return index(line) >= 0; }
    std::string text() const;  // for failure messages

private:
    uintmax_t start_ = 0;
};

// The launcher's 8-bit text of a path (the tests keep to ASCII paths).
inline std::string text(const fs::path& path) { return path.string(); }
// The path as the candidate checks normalise it.
std::string normalised(const fs::path& javaExe);

// A value of the version cache entry of `javaExe`, "<absent>" when there is none.
std::string cachedValue(const fs::path& javaExe, const char* name, DWORD* type = nullptr);
void setCachedValue(const fs::path& javaExe, const char* name, DWORD type, const std::string& bytes);

// Temporary files of the probe ("kst*.tmp") present in the temporary root, waiting up to
// 5 s for those that are already being deleted.
std::vector<std::string> probeFiles();

class Win32Test : public ::testing::Test {
protected:
    void SetUp() override;     // makes the test's folder afresh
    void TearDown() override;  // clears the configuration and the test's cache entries
    static fs::path testDirectory();  // the running test's folder

    void setKey(int key, const std::string& value);
    fs::path layOut(const std::string& name, const layout::RuntimeLayout& runtime = {});

    fs::path dir_;
    TraceTail trace_;
};

}  // namespace kestro::test
