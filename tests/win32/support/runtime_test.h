// Shared ground for the tests of the runtime checks under Wine: a fresh folder per test
// below the test program, the stand-ins of the Windows build, the new lines of this
// process's trace, and removal of the version cache entries a test made.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/runtime_layout.h"

namespace kestro::test {

namespace fs = std::filesystem;

fs::path testProgramDirectory();
fs::path fixturesDirectory();  // the Windows build's fixtures (stand-ins, drivers)

// The trace lines written since construction (or the last mark()).
class TraceTail {
public:
    TraceTail() { mark(); }
    void mark();
    std::vector<std::string> lines() const;
    bool has(const std::string& line) const;
    int count(const std::string& line) const;
    // Index of the first line equal to `line` at or after `from`, or -1.
    int index(const std::string& line, int from = 0) const;
    std::string text() const;  // for failure messages

private:
    uintmax_t start_ = 0;
};

// The launcher's 8-bit text of a path (the tests keep to ASCII paths).
std::string text(const fs::path& path);

// Version cache helpers, by the normalised path the checks use.
std::string normalised(const fs::path& javaExe);
bool cacheEntryExists(const fs::path& javaExe);
std::string cachedValue(const fs::path& javaExe, const char* name, DWORD* type = nullptr);
void setCachedValue(const fs::path& javaExe, const char* name, DWORD type, const std::string& bytes);

// Temporary files of the probe ("kst*.tmp") present in the temporary root.
std::vector<std::string> probeFiles();

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;  // clears the configuration and the test's cache entries

    void setKey(int key, const std::string& value);
    fs::path layOut(const std::string& name, const layout::RuntimeLayout& runtime = {});

    fs::path dir_;
    TraceTail trace_;
};

}  // namespace kestro::test
