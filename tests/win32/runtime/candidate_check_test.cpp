// The candidate checks against real files, processes and registry under Wine, with
// stand-in runtimes whose java executables record every run. The version texts and
// bounds themselves are unit-tested natively.
#include "runtime/candidate_check.h"
#include "support/win32_test.h"

namespace kestro::test {
namespace {

using layout::recordedRuns;
using CandidateCheck = Win32Test;

TEST_F(CandidateCheck, HomeLayoutPrefersTheEmbeddedRuntimeAndCanRequireAJdk) {
    fs::path jdk = layOut("jdk", {.embeddedJre = true}), jre = layOut("jre");
    std::string javaExe;
    ASSERT_TRUE(checkRuntimeDirectory(javaExe, text(jdk), "", "", false));
    EXPECT_EQ(javaExe, normalised(jdk / "jre" / "bin" / "java.exe"));
    EXPECT_TRUE(recordedRuns(jdk / "bin" / "java.exe").empty());
    ASSERT_TRUE(javaExeForHome(javaExe, text(jre)));
    EXPECT_EQ(javaExe, text(jre) + "\\bin\\java.exe");

    // A JDK is required: its java executable exists, but without lib\tools.jar or
    // bin\javac.exe it fails.
    setKey(131, "1");
    EXPECT_FALSE(javaExeForHome(javaExe, text(jdk)));
    EXPECT_TRUE(trace_.has("Passed over " + text(jdk) + ": a JDK is required and it has neither lib\\tools.jar nor "
                           "bin\\javac.exe"));
    EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(jdk), "", "", false));
    EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(jre), "", "", false));
    layout::layOutRuntime(jdk, {.binJava = false, .binJavaw = false, .toolsJar = true}, fixturesDirectory());
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(jdk), "", "", false));
    EXPECT_EQ(javaExe, normalised(jdk / "jre" / "bin" / "java.exe"));

    // JDKs from 9 on have neither tools.jar nor an embedded runtime: javac marks them,
    // and their own bin\java.exe runs.
    fs::path modern = layOut("jdk17", {.version = "17.0.2", .javac = true});
    ASSERT_TRUE(checkRuntimeDirectory(javaExe, text(modern), "11", "", false));
    EXPECT_EQ(javaExe, normalised(modern / "bin" / "java.exe"));
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
    EXPECT_FALSE(checkRuntimeVariable(javaExe, "KESTRO_TEST_HOME", "", ""));  // unset
}

TEST_F(CandidateCheck, GuiLauncherGetsJavawAndNeedsIt) {
    setKey(107, "1");
    fs::path both = layOut("both"), consoleOnly = layOut("console", {.binJavaw = false});
    std::string javaExe;
    ASSERT_TRUE(checkRuntimeDirectory(javaExe, text(both), "", "", false));
    EXPECT_EQ(javaExe, normalised(both / "bin" / "javaw.exe"));
    EXPECT_EQ(recordedRuns(both / "bin" / "java.exe").size(), 1u);  // the version still comes from java.exe
    EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(consoleOnly), "", "", false));
    EXPECT_TRUE(trace_.has("Passed over " + normalised(consoleOnly / "bin" / "javaw.exe") + ": no java executable"));
}

// A refusal names its reason in the line before the check's result.
TEST_F(CandidateCheck, EachRefusalIsTracedWithItsReason) {
    fs::path jre = layOut("jre"), broken = layOut("broken");
    layout::setJavaBehaviour(broken / "bin" / "java.exe", {.stderrText = "Error: no version here\r\n"});
    struct Case { fs::path home; const char* lower; std::string reason; };
    for (const Case& c : {Case{jre, "11", "version 1.8.0_201, needs 11 or later"},
                          Case{dir_ / "none", "", "no java executable"},
                          Case{broken, "", "the version probe failed"}}) {
        trace_.mark();
        std::string javaExe;
        EXPECT_FALSE(checkRuntimeDirectory(javaExe, text(c.home), c.lower, "", false));
        EXPECT_EQ(trace_.index("Passed over " + normalised(c.home / "bin" / "java.exe") + ": " + c.reason) + 1,
                  trace_.index("checkJavaExe returning 0"))
            << trace_.text();
    }
}

// The lenient form only derives the path: nothing runs, whatever the version.
TEST_F(CandidateCheck, LenientFormRunsNothing) {
    fs::path old = layOut("old", {.version = "1.4.2"});
    std::string javaExe;
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(dir_ / "none"), "", "", true));
    EXPECT_EQ(javaExe, normalised(dir_ / "none" / "bin" / "java.exe"));
    EXPECT_TRUE(checkRuntimeDirectory(javaExe, text(old), "1.6", "", true));
    EXPECT_TRUE(recordedRuns(old / "bin" / "java.exe").empty());
}

}  // namespace
}  // namespace kestro::test
