// The version cache in Wine's registry: what a probe writes, when a later check may
// trust it, and what makes an entry a miss.
#include <cstring>

#include "runtime/candidate_check.h"
#include "support/win32_test.h"
#include "workfiles/paths.h"

namespace kestro::test {
namespace {

using layout::recordedRuns;

std::string timeBytes(uint64_t time) {
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &time, 8);  // little-endian, as the registry holds it
    return bytes;
}

uint64_t fileTime(const fs::path& path) {
    uint64_t time = 0;
    EXPECT_TRUE(findFileTime(text(path), &time));
    return time;
}

class VersionCache : public Win32Test {
protected:
    bool check(const std::string& path, std::string* version = nullptr) {
        std::string javaExe = path, found;
        bool ok = checkJavaExe(javaExe, found, "", "", true);
        if (version) *version = found;
        return ok;
    }
};

TEST_F(VersionCache, ProbeWritesBothValuesUntilTheExecutableChanges) {
    fs::path java = layOut("Jre") / "bin" / "java.exe";
    auto before = probeFiles();
    ASSERT_TRUE(check(text(java)));
    int first = trace_.index("checkJavaExe (" + text(java) + ", [out], , , 1)");  // as passed in
    int exists = trace_.index("file exists", first);
    int probed = trace_.index("Java version: 1.8.0_201", exists);
    int got = trace_.index("got version from execution 1.8.0_201", probed);
    EXPECT_TRUE(first >= 0 && exists > first && probed > exists && got > probed) << trace_.text();
    EXPECT_EQ(trace_.index("checkJavaExe returning 1", got), got + 1);
    EXPECT_EQ(probeFiles(), before);  // the probe's output file is gone
    DWORD type = 0;
    EXPECT_EQ(cachedValue(java, "LastWriteTime", &type), timeBytes(fileTime(java)));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(cachedValue(java, "Version", &type).c_str(), std::string("1.8.0_201"));
    EXPECT_EQ(type, DWORD(REG_SZ));

    trace_.mark();
    ASSERT_TRUE(check(text(java)));
    EXPECT_TRUE(trace_.has("got version from registry 1.8.0_201")) << trace_.text();
    EXPECT_EQ(recordedRuns(java).size(), 1u);  // no child this time

    // Replaced: a new last-write time makes the entry a miss, and the probe overwrites it.
    layout::setJavaBehaviour(java, {.stderrText = layout::versionOutput("1.8.0_202")});
    uint64_t newer = fileTime(java) + 10'000'000;
    HANDLE file = CreateFileW(java.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME time{DWORD(newer), DWORD(newer >> 32)};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
    std::string version;
    ASSERT_TRUE(check(text(java), &version));
    EXPECT_EQ(version, "1.8.0_202");
    EXPECT_EQ(recordedRuns(java).size(), 2u);
    EXPECT_EQ(cachedValue(java, "LastWriteTime"), timeBytes(newer));
}

TEST_F(VersionCache, OnlyAnExactEightByteTimeAndAUsableVersionAreTrusted) {
    fs::path java = layOut("jre") / "bin" / "java.exe";
    std::string now = timeBytes(fileTime(java));
    struct Entry {
        std::string time, version;
        bool trusted;
    } entries[] = {
        {now, "1.6.0_45", true},
        {now.substr(0, 4), "1.6.0_45", false},
        {now + '\0', "1.6.0_45", false},
        {timeBytes(fileTime(java) + 1), "1.6.0_45", false},
        {now, std::string("1.0.0\0", 6), false},  // a stored terminator changes nothing
        {now, std::string("1.6.0_45\0", 9), true},
    };
    size_t runs = 0;
    for (const Entry& e : entries) {
        setCachedValue(java, "LastWriteTime", REG_BINARY, e.time);
        setCachedValue(java, "Version", REG_SZ, e.version);
        std::string version;
        ASSERT_TRUE(check(text(java), &version));
        runs += !e.trusted;
        EXPECT_EQ(version, e.trusted ? "1.6.0_45" : "1.8.0_201") << e.time.size() << " " << e.version;
        EXPECT_EQ(recordedRuns(java).size(), runs) << e.time.size() << " " << e.version;
    }
}

TEST_F(VersionCache, TwoSpellingsOfOnePathShareOneEntry) {
    fs::path java = layOut("Jre") / "bin" / "java.exe";
    std::string upper = text(java);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    ASSERT_TRUE(check(upper));
    // Relative to the launcher's directory (not the current one), with a "." inside.
    ASSERT_TRUE(check(text(fs::relative(java.parent_path(), moduleDirectory()) / "." / "java.exe")));
    EXPECT_EQ(recordedRuns(java).size(), 1u);
}

TEST_F(VersionCache, FailedProbeIsRememberedAndIgnoredNextTime) {
    fs::path java = layOut("jre") / "bin" / "java.exe";
    layout::setJavaBehaviour(java, {.stderrText = layout::versionOutput("1.8.0_201"), .exitCode = 3});
    std::string version = "stale";
    EXPECT_FALSE(check(text(java), &version));
    EXPECT_EQ(version, "");
    EXPECT_EQ(trace_.index("couldn't get version"), trace_.index("Exit Code 3") + 1);
    EXPECT_EQ(cachedValue(java, "Version").c_str(), std::string("1.0.0"));
    EXPECT_EQ(cachedValue(java, "LastWriteTime"), timeBytes(fileTime(java)));

    layout::setJavaBehaviour(java, {.stderrText = layout::versionOutput("1.8.0_201")});
    EXPECT_TRUE(check(text(java), &version));
    EXPECT_EQ(version, "1.8.0_201");
    EXPECT_EQ(recordedRuns(java).size(), 2u);
}

}  // namespace
}  // namespace kestro::test
