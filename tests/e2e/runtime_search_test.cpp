// The runtime search: hint files, the search list's two passes, and the loading of the
// chosen runtime's VM library.
#include <fstream>

#include "format/config_keys.h"
#include "runtime_search_support.h"

namespace kestro::e2e {
namespace {

class RuntimeSearch : public RuntimeSearchTest {
protected:
    void writeHint(const char* file, const std::string& text) {
        fs::create_directories(dir_ / ".velmora");
        std::ofstream(dir_ / ".velmora" / file, std::ios::binary) << text;
    }
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
    fs::path old = layOut("old", loadableRuntime("1.5.0_22"));
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
    fs::path old = layOut("old", loadableRuntime("1.5.0_22"));
    set(key::MinVersion, "1.6");
    set(key::SearchList, "R" + windowsPath(old) + ";A" + windowsPath(old));
    RunResult refused = run(buildLauncher("refused.exe"));
    EXPECT_EQ(refused.exitCode, 83);
    EXPECT_FALSE(refused.tracedPrefix("Testing relative location")) << refused.trace;
    EXPECT_EQ(refused.err, reported(refused, noJvmFoundMessage()));

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

TEST_F(RuntimeSearch, PreferredVmDirectoryComesFirst) {
    layOut("jre", {.vmLibraries = {"bin/server/jvm.dll", "bin/client/jvm.dll", "bin/custom/jvm.dll"}});
    set(key::PreferredVm, "custom");
    std::string bin = normalised(dir_ / "jre" / "bin");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("Trying " + bin + "\\custom\\jvm.dll (exists 1)")) << r.trace;
    EXPECT_FALSE(r.tracedPrefix("Trying " + bin + "\\hotspot"));
}

TEST_F(RuntimeSearch, JdkLoadsTheVmOfItsEmbeddedRuntime) {
    fs::remove_all(dir_ / "jre");
    layOut("jdk", {.vmLibraries = {"jre/bin/server/jvm.dll"}});
    set(key::SearchList, "Rjdk");
    std::string bin = normalised(dir_ / "jdk" / "bin");
    RunResult r = run(buildLauncher(), {.env = {{"PATH", "C:\\windows"}}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    int restored = r.traceIndex("Setting PATH C:\\windows");
    ASSERT_GT(restored, 0) << r.trace;
    EXPECT_GT(r.traceIndex("Trying " + bin + "\\..\\jre\\bin\\server\\jvm.dll (exists 1)", restored), restored);
}

// A chosen runtime whose VM library does not load ends the start with exit code 83
// after exactly one report, which names the place by the kind of location, and PATH
// back at its old value (a library that loads but lacks the entry point stays loaded,
// and so does its bin directory on PATH).
TEST_F(RuntimeSearch, UnloadableRuntimeGivesOneMessageByKindOfLocation) {
    fs::path broken = layOut("broken", {});
    fs::path noEntry = layOut("noentry", {.brokenVmLibraries = {"bin/server/jvm.dll"}});
    struct Case {
        std::string list;
        std::map<std::string, std::optional<std::string>> env;
        std::string message;
        bool pathRestored = true;
    } cases[] = {
        {"", {{"KESTRO_JAVA_HOME", windowsPath(broken)}}, variableMessage("KESTRO_JAVA_HOME")},
        {"Rbroken", {}, damagedMessage("broken")},
        {"Rnoentry", {}, damagedMessage("noentry"), false},
        {"S", {{"PATH", "C:\\windows;" + windowsPath(broken / "bin")}}, noJvmFoundMessage()},
    };
    int n = 0;
    for (auto& c : cases) {
        set(key::SearchList, c.list);
        c.env.try_emplace("PATH", "C:\\windows");
        std::string oldPath = *c.env["PATH"];
        RunResult r = run(buildLauncher("case" + std::to_string(++n) + ".exe"), {.env = c.env});
        EXPECT_EQ(r.exitCode, 83) << c.list;
        EXPECT_EQ(r.err, reported(r, c.message)) << c.list;
        EXPECT_TRUE(r.traced("ERROR: Could not load functions")) << r.trace;
        auto lines = r.traceLines();
        std::string lastPath;
        for (const auto& line : lines)
            if (line.rfind("Setting PATH ", 0) == 0) lastPath = line;
        EXPECT_EQ(lastPath == "Setting PATH " + oldPath, c.pathRestored) << c.list << ": " << lastPath;
    }
}

}  // namespace
}  // namespace kestro::e2e
