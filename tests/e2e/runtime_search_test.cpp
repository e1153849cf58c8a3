// The runtime search of whole launcher runs: the hint files and the search list's two
// passes in their order, the loading of the chosen runtime's VM library, and the one
// report when it does not load or a packed runtime cannot be unpacked. The rules of the
// list's entries, and what unpacking does, are the native tests'.
#include "harness.h"
#include "tool/config/settings_table.h"

namespace kestro::e2e {
namespace {

using Texts = std::vector<std::string>;

class RuntimeSearch : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        set(key::ApplicationType, "2");  // reports on standard error
    }
    void writeHint(const char* file, const std::string& text) { writeBytes(dir_ / ".velmora" / file, text); }
};

// The preferred hint comes before every entry; the VM directories of the runtime it names
// are tried in their order with its bin directory on PATH, which stays there.
TEST_F(RuntimeSearch, ThePreferredHintComesFirst) {
    fs::path preferred = layOut("preferred");
    writeHint("pref_jre.cfg", windowsPath(preferred) + "\r\n" + windowsPath(dir_ / "jre") + "\r\n");
    RunResult r = run(buildLauncher(), {.env = {{"PATH", "C:\\windows\\system32"}}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    int has = r.traceIndex("Has preferred location " + windowsPath(preferred));
    ASSERT_GE(has, 0) << r.trace;
    EXPECT_GT(r.traceIndex("Using preferred location", has), has);
    EXPECT_FALSE(r.tracedPrefix("Testing location"));

    std::string bin = normalised(preferred / "bin");
    int path = r.traceIndex("Setting PATH C:\\windows\\system32;" + bin);
    ASSERT_GE(path, 0) << r.trace;
    Texts expected = {"Trying " + bin + "\\hotspot\\jvm.dll (exists 0)",
                      "Trying " + bin + "\\client\\jvm.dll (exists 0)",
                      "Trying " + bin + "\\server\\jvm.dll (exists 1)", "Loading of JVM-DLL successful"};
    Texts lines = r.traceLines();
    ASSERT_GE(lines.size(), size_t(path) + 5) << r.trace;
    EXPECT_EQ(Texts(lines.begin() + path + 1, lines.begin() + path + 5), expected);
    EXPECT_EQ(r.traceIndex("Setting PATH C:\\windows\\system32", path), -1);  // not restored
}

// The main pass expands values and skips unset variables and unknown letters; relative
// entries are the launcher's, not the current directory's. The installer hint comes
// after it. The fallback pass then takes the directory entries as written and only asks
// whether a java executable exists, whatever its version.
TEST_F(RuntimeSearch, TheMainPassTheInstallerHintAndTheFallbackPassInTheirOrder) {
    fs::path old = layOut("old", loadable("1.5.0_22"));
    layOut("tmp/missing");  // a decoy in the current directory
    writeHint("inst_jre.cfg", windowsPath(old) + "\n\r\n");
    set(key::MinVersion, "1.6");
    set(key::SearchList, "ENO_SUCH_VARIABLE;?x;Rmissing;B${OLD_RUNTIME};B" + windowsPath(old));
    RunResult r = run(buildLauncher(), {.env = {{"OLD_RUNTIME", windowsPath(old)}}, .cwd = tmp_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    expectInOrder(r, {"Testing location NO_SUCH_VARIABLE (type E)",
                      "Testing location x (type ?)",
                      "Testing location missing (type R)",
                      "Testing location " + windowsPath(old) + " (type B)",
                      "Testing location " + windowsPath(old) + " (type B)",
                      "Has installer location " + windowsPath(old),
                      "Testing relative location missing",
                      "Testing relative location ${OLD_RUNTIME}",
                      "Testing relative location " + windowsPath(old),
                      javaOf(old) + " exists",
                      "Loading of JVM-DLL successful"});
    EXPECT_FALSE(r.traced("Using installer location"));
    EXPECT_EQ(r.traceIndex(javaOf(old) + " exists"), r.traceIndex("Testing relative location " + windowsPath(old)) + 1);
}

// The list the build writes when a configuration gives none: the runtime beside the
// launcher, and without one the variables, here JAVA_HOME.
TEST_F(RuntimeSearch, TheDefaultListFindsTheBundledRuntimeThenJavaHome) {
    set(key::SearchList, std::string(*tool::findSetting(key::SearchList)->defaultText));
    fs::path installed = layOut("installed", loadable("17.0.2"));
    RunOptions options{.env = {{"KESTRO_JAVA_HOME", std::nullopt}, {"JAVA_HOME", windowsPath(installed)}}};
    RunResult bundled = run(buildLauncher("bundled.exe"), options);
    EXPECT_TRUE(bundled.traced("Trying to load JVM-DLL from " + javaOf(dir_ / "jre"))) << bundled.trace;
    fs::remove_all(dir_ / "jre");
    RunResult r = run(buildLauncher("javahome.exe"), options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("Testing location JAVA_HOME (type E)")) << r.trace;
    EXPECT_TRUE(r.traced("Trying to load JVM-DLL from " + javaOf(installed))) << r.trace;
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

// A real runtime notes the options it picked up from the environment before its version
// line; every runtime would be refused if the probe read the first line only.
TEST_F(RuntimeSearch, OptionsPickedUpFromTheEnvironmentDoNotHideTheVersion) {
    RunResult r = run(buildLauncher(), {.env = {{"JAVA_TOOL_OPTIONS", "-Dfile.encoding=UTF-8"},
                                                {"_JAVA_OPTIONS", "-Xmx1g"},
                                                {"JDK_JAVA_OPTIONS", "--add-opens=java.base/java.lang=ALL-UNNAMED"}}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("got version from execution 1.8.0_201")) << r.trace;
}

// A runtime whose VM library is built for another machine than the launcher's x64 is
// passed over before it is chosen, and the search goes on. When nothing is left, the
// report lists what was passed over and why, unless the configuration says not to.
TEST_F(RuntimeSearch, RuntimesPassedOverAreSkippedAndNamedInTheReport) {
    fs::path arm = layOut("arm", {.vmLibraries = {"bin/server/jvm.dll"}, .vmMachine = 0xAA64});
    fs::path x86 = layOut("x86", {.vmLibraries = {"bin/client/jvm.dll"}, .vmMachine = 0x14C});
    fs::path old = layOut("old", loadable("1.5.0_22")), good = layOut("good");
    // Absolute entries, which the fallback pass leaves alone.
    const std::string list = "A" + windowsPath(arm) + ";A" + windowsPath(x86) + ";A" + windowsPath(old) + ";A" +
                             windowsPath(dir_ / "none");
    const std::string listed = "\n" + normalised(arm) + ": jvm.dll is for ARM64, not x64\n" + normalised(x86) +
                               ": jvm.dll is for x86, not x64\n" + normalised(old) + ": version 1.5.0_22, needs 1.6 or later";
    set(key::MinVersion, "1.6");
    struct Case {
        std::string list, listPassedOver;
        int exitCode;
        std::string report;
    };
    int n = 0;
    for (const Case& c : {Case{list + ";A" + windowsPath(good), "1", 0, ""},
                          Case{list, "1", 83, message(1016, "64") + listed},
                          Case{list, "0", 83, message(1016, "64")}}) {
        set(key::SearchList, c.list);
        set(key::ListPassedOver, c.listPassedOver);
        RunResult r = run(buildLauncher("case" + std::to_string(++n) + ".exe"));
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        expectInOrder(r, {"Passed over " + javaOf(arm) + ": jvm.dll is for ARM64, not x64",
                          "Passed over " + javaOf(x86) + ": jvm.dll is for x86, not x64"});
        if (c.exitCode == 0) { EXPECT_TRUE(r.traced("Trying to load JVM-DLL from " + javaOf(good))) << r.trace; }
        else { EXPECT_EQ(r.err, r.reported(c.report)); }
    }
}

// A packed runtime whose unpack200 cannot be started ends the launcher.
// The VM library's imports come from its runtime (or the system): copies planted beside
// the launcher, where a downloaded application lies, and in the current directory are
// never loaded.
TEST_F(RuntimeSearch, PlantedLibrariesBesideTheLauncherOrInTheCurrentDirectoryAreNotLoaded) {
    fs::path home = layOut("deps", {.vmLibraries = {"bin/server/jvm.dll"}, .vmDependency = true});
    set(key::SearchList, "Rdeps");
    fs::create_directories(dir_ / "cwd");
    for (const fs::path& planted : {dir_ / "kstvmdep.dll", dir_ / "cwd" / "kstvmdep.dll"})
        fs::copy_file(home / "bin" / "kstvmdep.dll", planted);
    RunResult r = run(buildLauncher(), {.cwd = dir_ / "cwd"});
    EXPECT_EQ(r.exitCode, 0) << r.err << r.trace;
    EXPECT_TRUE(fs::exists(home / "bin" / "kstvmdep.dll.loaded"));
    EXPECT_FALSE(fs::exists(dir_ / "kstvmdep.dll.loaded"));
    EXPECT_FALSE(fs::exists(dir_ / "cwd" / "kstvmdep.dll.loaded"));
}

TEST_F(RuntimeSearch, MissingUnpack200EndsWithInternalError20) {
    fs::path home = layOut("packed", {.packedJars = layout::restoredJarOrder()});
    set(key::SearchList, "Rpacked");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1009, "20")));
    EXPECT_EQ(r.out, "Preparing JRE ...\r\n");  // standard output is in text mode
    EXPECT_GT(r.traceIndex("could not create unpack process"), r.traceIndex("Unpacking JRE")) << r.trace;
    EXPECT_FALSE(r.traced("Unpacking JRE done"));
    EXPECT_TRUE(fs::exists(home / "lib" / "rt.jar.pack"));
}

}  // namespace
}  // namespace kestro::e2e
