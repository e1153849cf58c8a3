// The candidate checks against real files, processes and registry under Wine, with
// stand-in runtimes whose java executables record every run.
#include <windows.h>

#include "runtime/candidate_check.h"
#include "support/runtime_test.h"

namespace kestro::test {
namespace {

using layout::recordedRuns;

class CandidateCheck : public RuntimeTest {
protected:
    bool checkExe(const fs::path& java, std::string& version, const std::string& lower, const std::string& upper,
                  bool allowPrerelease = false) {
        std::string javaExe = text(java);
        return checkJavaExe(javaExe, version, lower, upper, allowPrerelease);
    }
};

TEST_F(CandidateCheck, HomeLayoutPrefersTheEmbeddedRuntimeAndCanRequireAJdk) {
    fs::path jdk = layOut("jdk", {.embeddedJre = true}), jre = layOut("jre");
    std::string javaExe;
    ASSERT_TRUE(checkRuntimeDirectory(javaExe, text(jdk), "", "", false));
    EXPECT_EQ(javaExe, normalised(jdk / "jre" / "bin" / "java.exe"));
    EXPECT_TRUE(recordedRuns(jdk / "bin" / "java.exe").empty());
    ASSERT_TRUE(javaExeForHome(javaExe, text(jre)));
    EXPECT_EQ(javaExe, text(jre) + "\\bin\\java.exe");

    // A JDK is required: its java executable exists, but without lib\tools.jar it fails.
    setKey(131, "1");
    EXPECT_FALSE(javaExeForHome(javaExe, text(jdk)));
    EXPECT_EQ(javaExe, text(jdk) + "\\jre\\bin\\java.exe");
    EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(jdk), "", "", false));
    layout::layOutRuntime(jdk, {.binJava = false, .binJavaw = false, .toolsJar = true}, fixturesDirectory());
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(jdk), "", "", false));
    EXPECT_EQ(recordedRuns(jdk / "jre" / "bin" / "java.exe").size(), 1u);  // the second check used the cache
}

TEST_F(CandidateCheck, TraceOfAProbedCheckAndOfAMissingExecutable) {
    fs::path java = layOut("Jre") / "bin" / "java.exe";
    auto before = probeFiles();
    std::string version;
    ASSERT_TRUE(checkExe(java, version, "1.6", "1.8"));
    EXPECT_EQ(version, "1.8.0_201");
    int first = trace_.index("checkJavaExe (" + text(java) + ", [out], 1.6, 1.8, 0)");  // as passed in
    int exists = trace_.index("file exists", first);
    int probed = trace_.index("Java version: 1.8.0_201", exists);
    int got = trace_.index("got version from execution 1.8.0_201", probed);
    int done = trace_.index("checkJavaExe returning 1", got);
    EXPECT_TRUE(first >= 0 && exists > first && probed > exists && got > probed && done > got) << trace_.text();
    EXPECT_EQ(probeFiles(), before);  // the probe's output file is gone

    trace_.mark();
    version = "stale";
    EXPECT_FALSE(checkExe(dir_ / "nowhere" / "java.exe", version, "", "", true));
    EXPECT_EQ(version, "");
    EXPECT_EQ(trace_.index("checkJavaExe returning 0"), trace_.index("file doesn't exist") + 1);
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
        fs::path java = dir_ / std::to_string(n++) / "java.exe";
        layout::placeJava(java, "", fixturesDirectory());
        layout::setJavaBehaviour(java, {.stderrText = c.output});
        std::string version;
        // The continuation keeps the version in front, so prefix bounds still work on it.
        EXPECT_TRUE(checkExe(java, version, c.version.substr(0, 2), c.version.substr(0, 3))) << c.output;
        EXPECT_EQ(version, c.version);
    }
}

TEST_F(CandidateCheck, BoundsHoldTheVersionAndStillReportIt) {
    for (auto [v, passes] : {std::pair{"1.8.0_201", true}, {"1.5.0_22", false}, {"9.0.4", false}}) {
        fs::path home = layOut(v, {.version = v});
        std::string version, javaExe;
        EXPECT_EQ(checkExe(home / "bin" / "java.exe", version, "1.6", "1.8"), passes) << v;
        EXPECT_EQ(version, v);
        EXPECT_EQ(checkRuntimeDirectory(javaExe, text(home), "1.6", "1.8", false), passes) << v;
    }
}

TEST_F(CandidateCheck, PrereleaseRefusedWhereTheFilterAppliesUnlessKey130) {
    fs::path home = layOut("ea", {.version = "1.8.0-ea"});
    SetEnvironmentVariableA("KESTRO_TEST_HOME", text(home).c_str());
    std::string javaExe;
    EXPECT_FALSE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "1.6", "1.8"));
    EXPECT_TRUE(trace_.has("beta vm not allowed"));
    // A runtime directory entry allows pre-release runtimes (its version comes cached now).
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(home), "1.6", "1.8", false));
    EXPECT_TRUE(trace_.has("got version from registry 1.8.0-ea"));
    setKey(130, "1");
    EXPECT_TRUE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "1.6", "1.8"));
    SetEnvironmentVariableA("KESTRO_TEST_HOME", nullptr);
}

TEST_F(CandidateCheck, GuiLauncherGetsJavawAndNeedsIt) {
    setKey(107, "1");
    fs::path both = layOut("both"), consoleOnly = layOut("console", {.binJavaw = false});
    std::string javaExe, version;
    ASSERT_TRUE(checkRuntimeDirectory(javaExe, text(both), "", "", false));
    EXPECT_EQ(javaExe, normalised(both / "bin" / "javaw.exe"));
    EXPECT_EQ(recordedRuns(both / "bin" / "java.exe").size(), 1u);  // the version still comes from java.exe
    EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(consoleOnly), "", "", false));

    // A path that already names javaw.exe stays as it is.
    javaExe = text(both / "bin" / "javaw.exe");
    EXPECT_TRUE(checkJavaExe(javaExe, version, "", "", true));
    EXPECT_EQ(javaExe, normalised(both / "bin" / "javaw.exe"));
}

TEST_F(CandidateCheck, VariablePathAndLenientForms) {
    fs::path home = layOut("jre"), old = layOut("old", {.version = "1.4.2"});
    std::string javaExe = "untouched", forward = text(home);
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        SetEnvironmentVariableA("KESTRO_TEST_HOME", unset);
        EXPECT_FALSE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "", ""));
    }
    EXPECT_EQ(javaExe, "untouched");
    for (char& c : forward)
        if (c == '\\') c = '/';
    SetEnvironmentVariableA("KESTRO_TEST_HOME", forward.c_str());
    EXPECT_TRUE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "", ""));
    EXPECT_EQ(javaExe, normalised(home / "bin" / "java.exe"));
    SetEnvironmentVariableA("KESTRO_TEST_HOME", nullptr);

    std::string path(32768, '\0');
    path.resize(GetEnvironmentVariableA("PATH", path.data(), DWORD(path.size())));
    SetEnvironmentVariableA("PATH", (text(old / "bin") + ";" + path).c_str());
    EXPECT_FALSE(findJavaOnPath(javaExe, "1.6", ""));
    EXPECT_EQ(javaExe, normalised(old / "bin" / "java.exe"));
    SetEnvironmentVariableA("PATH", path.c_str());

    // The lenient form only derives the path: nothing runs, whatever the version.
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(dir_ / "none"), "", "", true));
    EXPECT_EQ(javaExe, normalised(dir_ / "none" / "bin" / "java.exe"));
    EXPECT_EQ(recordedRuns(old / "bin" / "java.exe").size(), 1u);
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(old), "1.6", "", true));
    EXPECT_EQ(recordedRuns(old / "bin" / "java.exe").size(), 1u);
}

}  // namespace
}  // namespace kestro::test
