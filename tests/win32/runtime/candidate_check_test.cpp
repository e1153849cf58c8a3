// The candidate checks against real files, processes and registry under Wine, with
// stand-in runtimes whose java executables record every run.
#include <windows.h>

#include "runtime/candidate_check.h"
#include "support/runtime_test.h"
#include "workfiles/paths.h"

namespace kestro::test {
namespace {

using layout::recordedRuns;
using layout::RuntimeLayout;

class CandidateCheck : public RuntimeTest {};

TEST_F(CandidateCheck, JdkHomeUsesItsEmbeddedRuntime) {
    fs::path jdk = layOut("jdk", {.embeddedJre = true}), jre = layOut("jre");
    std::string javaExe;
    ASSERT_TRUE(javaExeForHome(javaExe, text(jdk)));
    EXPECT_EQ(javaExe, text(jdk) + "\\jre\\bin\\java.exe");
    ASSERT_TRUE(javaExeForHome(javaExe, text(jre)));
    EXPECT_EQ(javaExe, text(jre) + "\\bin\\java.exe");

    ASSERT_TRUE(checkRuntimeDirectory(javaExe, text(jdk), "", "", false)) << trace_.text();
    EXPECT_EQ(javaExe, normalised(jdk / "jre" / "bin" / "java.exe"));
    EXPECT_EQ(recordedRuns(jdk / "jre" / "bin" / "java.exe").size(), 1u);
    EXPECT_TRUE(recordedRuns(jdk / "bin" / "java.exe").empty());
}

TEST_F(CandidateCheck, RequiredJdkNeedsToolsJar) {
    setKey(131, "1");
    fs::path noTools = layOut("jre", {.embeddedJre = true}), jdk = layOut("jdk", {.embeddedJre = true, .toolsJar = true});
    std::string javaExe;
    EXPECT_FALSE(javaExeForHome(javaExe, text(noTools)));
    EXPECT_EQ(javaExe, text(noTools) + "\\jre\\bin\\java.exe");
    EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(noTools), "", "", false));
    EXPECT_TRUE(recordedRuns(noTools / "jre" / "bin" / "java.exe").empty());

    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(jdk), "", "", false));
    EXPECT_EQ(javaExe, normalised(jdk / "jre" / "bin" / "java.exe"));
}

TEST_F(CandidateCheck, TracesEachStepWithThePathAsPassedIn) {
    fs::path home = layOut("Jre");
    std::string javaExe = text(home / "bin" / "java.exe"), passedIn = javaExe, version;
    ASSERT_TRUE(checkJavaExe(javaExe, version, "1.6", "1.8", false));
    EXPECT_EQ(version, "1.8.0_201");
    EXPECT_EQ(javaExe, normalised(home / "bin" / "java.exe"));
    EXPECT_NE(javaExe, passedIn);  // lower-cased
    int first = trace_.index("checkJavaExe (" + passedIn + ", [out], 1.6, 1.8, 0)");
    int exists = trace_.index("file exists", first);
    int probed = trace_.index("Java version: 1.8.0_201", exists);
    int got = trace_.index("got version from execution 1.8.0_201", probed);
    int done = trace_.index("checkJavaExe returning 1", got);
    EXPECT_TRUE(first >= 0 && exists > first && probed > exists && got > probed && done > got) << trace_.text();
}

TEST_F(CandidateCheck, MissingExecutableFailsWithoutAVersion) {
    std::string javaExe = text(dir_ / "nowhere" / "bin" / "java.exe"), version = "stale";
    EXPECT_FALSE(checkJavaExe(javaExe, version, "", "", true));
    EXPECT_EQ(version, "");
    EXPECT_TRUE(trace_.has("file doesn't exist"));
    EXPECT_TRUE(trace_.has("checkJavaExe returning 0"));
}

TEST_F(CandidateCheck, VersionLinesOfBothFormsAndAContinuation) {
    struct Case {
        std::string output, version;
    } cases[] = {
        {layout::versionOutput("1.8.0_201", "java"), "1.8.0_201"},
        {layout::versionOutput("1.8.0_201", "openjdk"), "1.8.0_201"},
        {"openjdk version \"11.0.2\" 2019-01-15\r\nOpenJDK Runtime Environment 18.9\r\n", "11.0.2\" 2019-01-1"},
    };
    int n = 0;
    for (const Case& c : cases) {
        fs::path javaPath = dir_ / ("r" + std::to_string(n++)) / "bin" / "java.exe";
        layout::placeJava(javaPath, "", fixturesDirectory());
        layout::setJavaBehaviour(javaPath, {.stderrText = c.output});
        std::string javaExe = text(javaPath), version;
        // The continuation keeps the version in front, so prefix bounds still work on it.
        EXPECT_TRUE(checkJavaExe(javaExe, version, c.version.substr(0, 2), c.version.substr(0, 3), false)) << c.output;
        EXPECT_EQ(version, c.version);
    }
}

TEST_F(CandidateCheck, BoundsHoldTheVersionAndStillReportIt) {
    struct Case {
        std::string version;
        bool passes;
    } cases[] = {{"1.8.0_201", true}, {"1.5.0_22", false}, {"9.0.4", false}};
    for (const Case& c : cases) {
        fs::path home = layOut(c.version, {.version = c.version});
        std::string javaExe = text(home / "bin" / "java.exe"), version;
        EXPECT_EQ(checkJavaExe(javaExe, version, "1.6", "1.8", false), c.passes) << c.version;
        EXPECT_EQ(version, c.version);
        EXPECT_EQ(checkRuntimeDirectory(javaExe, text(home), "1.6", "1.8", false), c.passes) << c.version;
    }
}

TEST_F(CandidateCheck, PrereleaseRefusedWhereTheFilterAppliesUnlessKey130) {
    fs::path home = layOut("ea", {.version = "1.8.0-ea"});
    SetEnvironmentVariableA("KESTRO_TEST_HOME", text(home).c_str());
    std::string javaExe;
    EXPECT_FALSE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "1.6", "1.8"));
    EXPECT_TRUE(trace_.has("beta vm not allowed"));
    // A runtime directory entry allows pre-release runtimes (the cached version now).
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(home), "1.6", "1.8", false));
    EXPECT_TRUE(trace_.has("got version from registry 1.8.0-ea"));

    setKey(130, "1");
    EXPECT_TRUE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "1.6", "1.8"));
    SetEnvironmentVariableA("KESTRO_TEST_HOME", nullptr);
    EXPECT_EQ(recordedRuns(home / "bin" / "java.exe").size(), 1u);
}

TEST_F(CandidateCheck, VariableNamesAHomeWithEitherSlash) {
    fs::path home = layOut("jre");
    std::string forward = text(home);
    for (char& c : forward)
        if (c == '\\') c = '/';
    std::string javaExe = "untouched";
    SetEnvironmentVariableA("KESTRO_TEST_HOME", nullptr);
    EXPECT_FALSE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "", ""));
    SetEnvironmentVariableA("KESTRO_TEST_HOME", "");
    EXPECT_FALSE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "", ""));
    EXPECT_EQ(javaExe, "untouched");
    EXPECT_FALSE(trace_.has("file exists"));

    SetEnvironmentVariableA("KESTRO_TEST_HOME", forward.c_str());
    EXPECT_TRUE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "", ""));
    EXPECT_EQ(javaExe, normalised(home / "bin" / "java.exe"));
    SetEnvironmentVariableA("KESTRO_TEST_HOME", nullptr);
}

TEST_F(CandidateCheck, JavaOnThePathIsFoundAndFiltered) {
    fs::path ea = layOut("ea", {.version = "1.8.0-ea"}), good = layOut("good");
    std::string oldPath(32768, '\0');
    oldPath.resize(GetEnvironmentVariableA("PATH", oldPath.data(), DWORD(oldPath.size())));
    std::string javaExe;
    SetEnvironmentVariableA("PATH", (text(good / "bin") + ";" + oldPath).c_str());
    EXPECT_TRUE(findJavaOnPath(javaExe, "1.8", "1.8"));
    EXPECT_EQ(javaExe, normalised(good / "bin" / "java.exe"));
    SetEnvironmentVariableA("PATH", (text(ea / "bin") + ";" + oldPath).c_str());
    EXPECT_FALSE(findJavaOnPath(javaExe, "", ""));
    EXPECT_TRUE(trace_.has("beta vm not allowed"));
    SetEnvironmentVariableA("PATH", oldPath.c_str());
}

TEST_F(CandidateCheck, GuiLauncherGetsJavawAndNeedsIt) {
    setKey(107, "1");
    fs::path both = layOut("both"), consoleOnly = layOut("console", {.binJavaw = false});
    std::string javaExe;
    ASSERT_TRUE(checkRuntimeDirectory(javaExe, text(both), "", "", false));
    EXPECT_EQ(javaExe, normalised(both / "bin" / "javaw.exe"));
    // The version comes from java.exe all the same.
    EXPECT_EQ(recordedRuns(both / "bin" / "java.exe").size(), 1u);
    EXPECT_TRUE(recordedRuns(both / "bin" / "javaw.exe").empty());

    EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(consoleOnly), "", "", false));
    EXPECT_TRUE(trace_.has("checkJavaExe returning 0"));

    // A path that already names javaw.exe stays as it is.
    std::string version;
    javaExe = text(both / "bin" / "javaw.exe");
    EXPECT_TRUE(checkJavaExe(javaExe, version, "", "", true));
    EXPECT_EQ(javaExe, normalised(both / "bin" / "javaw.exe"));
}

TEST_F(CandidateCheck, LenientDirectoryCheckRunsNothing) {
    fs::path old = layOut("old", {.version = "1.4.2"}), empty = dir_ / "empty";
    std::string javaExe;
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(old), "1.6", "1.8", true));
    EXPECT_EQ(javaExe, normalised(old / "bin" / "java.exe"));
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(empty), "", "", true));
    EXPECT_EQ(javaExe, normalised(empty / "bin" / "java.exe"));
    EXPECT_TRUE(recordedRuns(old / "bin" / "java.exe").empty());
    EXPECT_FALSE(trace_.has("file exists"));
}

TEST_F(CandidateCheck, RelativeDirectoryIsResolvedAgainstTheLaunchersDirectory) {
    fs::path home = layOut("jre");
    fs::path relative = fs::relative(home, testProgramDirectory());
    std::string javaExe;
    // The current directory is elsewhere; the launcher's directory counts.
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(relative), "", "", false)) << text(relative);
    EXPECT_EQ(javaExe, normalised(home / "bin" / "java.exe"));
}

}  // namespace
}  // namespace kestro::test
