// The runtime search: hint files, the search list's two passes, and the loading of the
// chosen runtime's VM library.
#include "harness.h"

namespace kestro::e2e {
namespace {

class RuntimeSearch : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        set(key::ApplicationType, "2");  // reports on standard error
    }
    void writeHint(const char* file, const std::string& text) { writeBytes(dir_ / ".velmora" / file, text); }
};

TEST_F(RuntimeSearch, PreferredHintBeatsEveryListEntry) {
    fs::path preferred = layOut("preferred");
    writeHint("pref_jre.cfg", windowsPath(preferred) + "\r\n" + windowsPath(dir_ / "jre") + "\r\n");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    int has = r.traceIndex("Has preferred location " + windowsPath(preferred));
    ASSERT_GE(has, 0) << r.trace;
    EXPECT_GT(r.traceIndex("Using preferred location", has), has);
    EXPECT_FALSE(r.tracedPrefix("Testing location"));
    EXPECT_TRUE(r.traced("Trying to load JVM-DLL from " + javaOf(preferred)));
}

TEST_F(RuntimeSearch, InstallerHintComesAfterTheMainPass) {
    fs::path installed = layOut("installed");
    writeHint("inst_jre.cfg", windowsPath(installed) + "\n\r\n");
    set(key::SearchList, "Rmissing");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    int tested = r.traceIndex("Testing location missing (type R)");
    int has = r.traceIndex("Has installer location " + windowsPath(installed));
    ASSERT_GE(tested, 0) << r.trace;
    EXPECT_GT(has, tested);
    EXPECT_TRUE(r.traced("Using installer location"));
    EXPECT_FALSE(r.tracedPrefix("Testing relative location"));
}

// A runtime named through the list is found and loaded, and the start goes on (exit 0).
TEST_F(RuntimeSearch, UnsetVariablesAndUnknownLettersAreSkipped) {
    set(key::SearchList, "ENO_SUCH_VARIABLE;rjre;?x;Rjre");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    int at = 0;
    for (const char* line : {"Testing location NO_SUCH_VARIABLE (type E)", "Testing location jre (type r)",
                             "Testing location x (type ?)", "Testing location jre (type R)",
                             "Loading of JVM-DLL successful"}) {
        int next = r.traceIndex(line, at);
        EXPECT_GE(next, at) << line << "\n" << r.trace;
        at = next < 0 ? at : next;
    }
    EXPECT_EQ(r.err, "");
}

TEST_F(RuntimeSearch, RelativeEntriesResolveAgainstTheLauncherNotTheCurrentDirectory) {
    layOut("tmp/jre");  // a decoy in the current directory
    RunResult r = run(buildLauncher(), {.cwd = tmp_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("Trying to load JVM-DLL from " + javaOf(dir_ / "jre"))) << r.trace;
}

TEST_F(RuntimeSearch, VariablesAreExpandedInTheMainPassOnly) {
    fs::path old = layOut("old", loadable("1.5.0_22"));
    set(key::SearchList, "B${OLD_RUNTIME}");
    set(key::MinVersion, "1.6");
    RunResult r = run(buildLauncher(), {.env = {{"OLD_RUNTIME", windowsPath(old)}}});
    EXPECT_EQ(r.exitCode, 83);
    EXPECT_TRUE(r.traced("Testing location " + windowsPath(old) + " (type B)")) << r.trace;
    EXPECT_TRUE(r.traced("Testing relative location ${OLD_RUNTIME}"));
}

// A runtime whose version is out of bounds fails the main pass; the fallback pass only
// asks whether its java executable exists, for B entries whatever their value and for
// A and R entries only when relative.
TEST_F(RuntimeSearch, FallbackPassTakesAbsoluteBEntriesOnly) {
    fs::path old = layOut("old", loadable("1.5.0_22"));
    set(key::MinVersion, "1.6");
    set(key::SearchList, "R" + windowsPath(old) + ";A" + windowsPath(old));
    RunResult refused = run(buildLauncher("refused.exe"));
    EXPECT_EQ(refused.exitCode, 83);
    EXPECT_FALSE(refused.tracedPrefix("Testing relative location")) << refused.trace;
    EXPECT_EQ(refused.err, refused.reported(message(1016, "64")));

    set(key::SearchList, "R" + windowsPath(old) + ";B" + windowsPath(old));
    RunResult taken = run(buildLauncher("taken.exe"));
    EXPECT_EQ(taken.exitCode, 0) << taken.err;
    int relative = taken.traceIndex("Testing relative location " + windowsPath(old));
    ASSERT_GE(relative, 0) << taken.trace;
    EXPECT_EQ(taken.traceIndex(javaOf(old) + " exists"), relative + 1);
    EXPECT_TRUE(taken.traced("Loading of JVM-DLL successful"));
}

TEST_F(RuntimeSearch, VmDirectoriesAreTriedInOrderAndPathKeepsTheBinDirectory) {
    std::string bin = normalised(dir_ / "jre" / "bin");
    RunResult r = run(buildLauncher(), {.env = {{"PATH", "C:\\windows\\system32"}}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    int path = r.traceIndex("Setting PATH C:\\windows\\system32;" + bin);
    ASSERT_GE(path, 0) << r.trace;
    EXPECT_EQ(r.traceIndex("Trying " + bin + "\\hotspot\\jvm.dll (exists 0)"), path + 1);
    EXPECT_EQ(r.traceIndex("Trying " + bin + "\\client\\jvm.dll (exists 0)"), path + 2);
    EXPECT_EQ(r.traceIndex("Trying " + bin + "\\server\\jvm.dll (exists 1)"), path + 3);
    EXPECT_EQ(r.traceIndex("Loading of JVM-DLL successful"), path + 4);
    EXPECT_EQ(r.traceIndex("Setting PATH C:\\windows\\system32", path), -1);  // not restored
}

// A chosen runtime whose VM library does not load ends the start with exit code 83
// after exactly one report, which names the place by the kind of location, and PATH
// back at its old value (a library that loads but lacks the entry point stays loaded,
// and so does its bin directory on PATH). The registered kind is a Registry test.
TEST_F(RuntimeSearch, UnloadableRuntimeGivesOneMessageByKindOfLocation) {
    fs::path broken = layOut("broken", {});
    layOut("noentry", {.brokenVmLibraries = {"bin/server/jvm.dll"}});
    struct Case {
        std::string list;
        std::map<std::string, std::optional<std::string>> env;
        std::string message;
        bool pathRestored = true;
    } cases[] = {
        {"", {{"KESTRO_JAVA_HOME", windowsPath(broken)}}, message(1018, "KESTRO_JAVA_HOME")},
        {"Rbroken", {}, message(1020, "broken")},
        {"Rnoentry", {}, message(1020, "noentry"), false},
        {"S", {{"PATH", "C:\\windows;" + windowsPath(broken / "bin")}}, message(1016, "64")},
    };
    int n = 0;
    for (auto& c : cases) {
        set(key::SearchList, c.list);
        c.env.try_emplace("PATH", "C:\\windows");
        std::string oldPath = *c.env["PATH"];
        RunResult r = run(buildLauncher("case" + std::to_string(++n) + ".exe"), {.env = c.env});
        EXPECT_EQ(r.exitCode, 83) << c.list;
        EXPECT_EQ(r.err, r.reported(c.message)) << c.list;
        EXPECT_TRUE(r.traced("ERROR: Could not load functions")) << r.trace;
        std::string lastPath;
        for (const auto& line : r.traceLines())
            if (line.rfind("Setting PATH ", 0) == 0) lastPath = line;
        EXPECT_EQ(lastPath == "Setting PATH " + oldPath, c.pathRestored) << c.list << ": " << lastPath;
    }
}

}  // namespace
}  // namespace kestro::e2e
