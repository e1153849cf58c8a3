#include "support/win32_test.h"

#include <fstream>
#include <sstream>

#include "common/win32_handles.h"
#include "config/config_tables.h"
#include "diagnostics/error_report.h"
#include "diagnostics/trace.h"
#include "runtime/version_cache.h"
#include "workfiles/paths.h"
#include "workfiles/temp_dir.h"

namespace kestro::test {

namespace {

fs::path testProgramDirectory() { return fs::path(getModulePath()).parent_path(); }

// Each test process gets a temporary root of its own, so that two processes running at
// once in one Wine prefix do not pick the same trace file name; the probes' temporary
// files land there too. Tracing is turned on before the first record is written, and
// reports go to standard error, into the test's output.
class PrivateTempAndTrace : public ::testing::Environment {
public:
    void SetUp() override {
        root_ = testProgramDirectory() / "tmp" / ("p" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        _putenv_s("TMP", root_.string().c_str());
        _putenv_s("TEMP", root_.string().c_str());
        requestLogCreation();
        disableErrorBoxes();
    }
    // Kept after a failure, for its trace file.
    void TearDown() override {
        if (::testing::UnitTest::GetInstance()->Passed()) fs::remove_all(root_);
    }

private:
    fs::path root_;
};
[[maybe_unused]] ::testing::Environment* const privateTempAndTrace =
    ::testing::AddGlobalTestEnvironment(new PrivateTempAndTrace);

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c + ('a' - 'A'));
    return s;
}

// Removes every cache entry whose path lies below `directory`: paths are the same from
// one run to the next, and a stale entry would spare a test its probe.
void forgetEntriesBelow(const std::string& directory) {
    std::string prefix = versionCacheKey(lowerAscii(directory) + "\\");
    std::string parent = prefix.substr(0, prefix.rfind("jvms\\") + 4);
    std::string own = prefix.substr(parent.size() + 1);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, parent.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return;
    UniqueKey key(opened);
    std::vector<std::string> doomed;
    char name[1024];
    for (DWORD i = 0, size = sizeof name;
         RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name)
        if (lowerAscii(name).rfind(own, 0) == 0) doomed.push_back(parent + "\\" + name);
    for (const std::string& name : doomed) RegDeleteKeyA(HKEY_CURRENT_USER, name.c_str());
}

}  // namespace

fs::path Win32Test::testDirectory() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return testProgramDirectory() / "scratch" / info->test_suite_name() / info->name();
}

fs::path fixturesDirectory() { return (testProgramDirectory() / ".." / "fixtures").lexically_normal(); }

void TraceTail::mark() {
    auto log = traceLogPath();
    std::error_code ec;
    start_ = log ? fs::file_size(*log, ec) : 0;
    if (ec) start_ = 0;
}

std::vector<std::string> TraceTail::lines() const {
    std::vector<std::string> out;
    auto log = traceLogPath();
    if (!log) return out;
    std::ifstream in(*log, std::ios::binary);
    in.seekg(std::streamoff(start_));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

int TraceTail::index(const std::string& line, int from) const {
    return layout::VmTranscript{lines()}.index(line, from);
}
std::string TraceTail::text() const { return layout::VmTranscript{lines()}.text(); }

std::string normalised(const fs::path& javaExe) { return fullPath(text(javaExe), false); }

std::string cachedValue(const fs::path& javaExe, const char* name, DWORD* type) {
    std::string value(16384, '\0');
    DWORD size = DWORD(value.size());
    if (RegGetValueA(HKEY_CURRENT_USER, versionCacheKey(normalised(javaExe)).c_str(), name,
                     RRF_RT_ANY | RRF_NOEXPAND, type, value.data(), &size) != ERROR_SUCCESS)
        return "<absent>";
    value.resize(size);
    return value;
}

void setCachedValue(const fs::path& javaExe, const char* name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, versionCacheKey(normalised(javaExe)).c_str(), name, type,
                              bytes.data(), DWORD(bytes.size())),
              ERROR_SUCCESS);
}

std::vector<std::string> probeFiles() {
    std::vector<std::string> found;
    // The system deletes a probe's file when the child's handle to it is closed too,
    // which Wine does a moment after the child has ended: up to 5 s for it to go.
    for (int look = 0; look < 250; ++look, Sleep(20)) {
        found.clear();
        WIN32_FIND_DATAA entry;
        UniqueFind search(FindFirstFileA((findTempRoot() + "kst*.tmp").c_str(), &entry));
        if (!search) return found;
        do found.push_back(entry.cFileName);
        while (FindNextFileA(search.get(), &entry));
    }
    return found;
}

void Win32Test::SetUp() {
    dir_ = testDirectory();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    configTables().strings.clear();
    ASSERT_TRUE(traceLogPath() || (trace("tracing for the Windows tests"), traceLogPath()))
        << "the trace file could not be created";
    trace_.mark();
}

void Win32Test::TearDown() {
    configTables().strings.clear();
    forgetEntriesBelow(text(dir_));
}

void Win32Test::setKey(int key, const std::string& value) { configTables().strings[ConfigKey(key)] = value; }

fs::path Win32Test::layOut(const std::string& name, const layout::RuntimeLayout& runtime) {
    fs::path home = dir_ / name;
    layout::layOutRuntime(home, runtime, fixturesDirectory());
    return home;
}

}  // namespace kestro::test
