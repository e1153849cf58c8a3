// The version probe: the child it starts, what it reads back, what it leaves behind.
#include <chrono>

#include "runtime/candidate_check.h"
#include "runtime/version_probe.h"
#include "support/win32_test.h"

namespace kestro::test {
namespace {

using layout::recordedRuns;
using VersionProbe = Win32Test;

// Output without a line of the version form (which may follow other lines) fails.
TEST_F(VersionProbe, OutputWithoutAVersionLineFailsUncached) {
    fs::path java = layOut("jre") / "bin" / "java.exe";
    layout::setJavaBehaviour(java, {.stderrText = "Error: could not open `jvm.cfg'\r\nJava version \"1.8.0\"\r\n"});
    auto before = probeFiles();
    std::string version = "kept";
    EXPECT_FALSE(probeJavaVersion(normalised(java), 1, version));
    EXPECT_EQ(version, "kept");
    EXPECT_TRUE(trace_.has("Exit Code 0"));
    EXPECT_EQ(cachedValue(java, "Version"), "<absent>");
    EXPECT_EQ(probeFiles(), before);
}

// The program path is quoted: with short names off, its unquoted form would start
// "...\Program.exe" with the rest as arguments. (Wine always makes short names, so the
// recorded command line is what shows the quoting here.)
TEST_F(VersionProbe, PathWithSpacesRunsThatJavaAndNoOther) {
    fs::path decoy = dir_ / "Program.exe";
    layout::placeJava(decoy, "6.6.6", fixturesDirectory());
    fs::path java = dir_ / "Program Files" / "Java Runtime" / "bin" / "java.exe";
    layout::placeJava(java, "1.8.0_201", fixturesDirectory());
    std::string javaExe = text(java), version;
    ASSERT_TRUE(checkJavaExe(javaExe, version, "", "", true));
    EXPECT_EQ(version, "1.8.0_201");
    std::string shortForm(MAX_PATH, '\0');
    shortForm.resize(GetShortPathNameA(javaExe.c_str(), shortForm.data(), MAX_PATH));
    EXPECT_EQ(recordedRuns(java), std::vector<std::string>{"\"" + shortForm + "\" -version"});
    EXPECT_TRUE(recordedRuns(decoy).empty());
}

// A child that outlives the limit (shortened here from its 60 s) is ended and nothing is
// cached: a hung runtime costs one wait, not the launcher.
TEST_F(VersionProbe, ChildPastTheLimitIsTerminatedAndNotCached) {
    fs::path java = layOut("jre") / "bin" / "java.exe";
    layout::setJavaBehaviour(java, {.stderrText = layout::versionOutput("1.8.0_201"), .sleepMs = 60000});
    auto before = probeFiles();
    std::string version = "kept";
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(probeJavaVersion(normalised(java), 1, version, 1500));
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(seconds >= 1 && seconds < 30) << seconds;
    EXPECT_EQ(version, "kept");
    int code = trace_.index("Exit Code 259");
    EXPECT_GE(code, 0) << trace_.text();
    EXPECT_EQ(trace_.index("Terminating process"), code + 1);
    EXPECT_EQ(cachedValue(java, "Version"), "<absent>");
    EXPECT_EQ(recordedRuns(java).size(), 1u);
    EXPECT_EQ(probeFiles(), before);
}

}  // namespace
}  // namespace kestro::test
