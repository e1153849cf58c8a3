// Runtimes found through the registry: the families Java installers register, runtimes
// located earlier, previous installations. These tests share the prefix's registry and
// run one at a time (their suite names begin with "Registry"). The registry is written
// through regedit and a .reg file, so that many keys cost one process.
#include <algorithm>
#include <fstream>

#include "harness.h"

namespace kestro::e2e {
namespace {

constexpr char kJre[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Runtime Environment";
constexpr char kJdk[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Development Kit";

// A .reg string literal: backslashes and quotes escaped, enclosed in quotes.
std::string regString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

class RegistrySearch : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        clear();
        set(key::ApplicationType, "2");  // reports on standard error
        set(key::SearchList, "Y");
    }
    void TearDown() override { clear(); }

    // Imports `lines` in the .reg format without its header line ("[-KEY]" deletes).
    void import(const std::string& lines) {
        fs::path file = dir_ / ("import" + std::to_string(++imports_) + ".reg");
        std::ofstream(file, std::ios::binary) << "REGEDIT4\r\n\r\n" << lines << "\r\n";
        RunResult r = runWindowsProgram(file, {.commandLine = "regedit /S " + windowsPath(file)}, dir_);
        ASSERT_EQ(r.exitCode, 0) << "regedit failed on " << file << "\nout: " << r.out << "\nerr: " << r.err;
    }
    // The keys that runtime searches read.
    void clear() {
        import("[-HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft]\r\n"
               "[-HKEY_CURRENT_USER\\SOFTWARE\\quenfield\\kestro\\locatedjvms]\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\quenfield\\kestro\\locatedjvms]\r\n"
               "[-HKEY_CURRENT_USER\\SOFTWARE\\quenfield\\velmora\\installations]\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\quenfield\\velmora\\installations]\r\n");
    }

    // A family sub-key whose "JavaHome" names `home`.
    static std::string registered(const char* family, const std::string& name, const fs::path& home) {
        return std::string("[") + family + "\\" + name + "]\r\n\"JavaHome\"=" + regString(windowsPath(home)) + "\r\n";
    }
    static std::string currentVersion(const char* family, const std::string& version) {
        return std::string("[") + family + "]\r\n\"CurrentVersion\"=" + regString(version) + "\r\n";
    }
    // A located runtime: the key name is the java executable's path with "/" for "\".
    static std::string located(const char* hive, const fs::path& home) {
        std::string name = windowsPath(home / "bin" / "java.exe");
        std::replace(name.begin(), name.end(), '\\', '/');
        return std::string("[") + hive + "\\SOFTWARE\\quenfield\\kestro\\locatedjvms\\" + name + "]\r\n";
    }
    // The order in which the candidate checks met the runtimes below `parent`.
    static std::vector<std::string> checkedHomes(const RunResult& r, const fs::path& parent) {
        std::vector<std::string> homes;
        std::string start = "checkJavaExe (" + windowsPath(parent) + "\\";
        for (const auto& line : r.traceLines())
            if (line.rfind(start, 0) == 0) homes.push_back(line.substr(start.size(), line.find('\\', start.size()) - start.size()));
        return homes;
    }

    int imports_ = 0;
};

TEST_F(RegistrySearch, NothingAnywhereTracesTheWholeSequence) {
    set(key::SearchList, "Rjre-missing;ENO_SUCH_VARIABLE;Y");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 83);
    EXPECT_EQ(r.err, r.reported(message(1016, "64")));
    int at = r.traceIndex("Searching for a JVM");
    ASSERT_GE(at, 0) << r.trace;
    for (const char* line : {"Testing location jre-missing (type R)", "Testing location NO_SUCH_VARIABLE (type E)",
                             "Testing location  (type Y)", "Testing relative location jre-missing",
                             "Search sequence finished", "ERROR: No JVM found"}) {
        int next = r.traceIndex(line, at);
        EXPECT_GT(next, at) << line << "\n" << r.trace;
        at = next < 0 ? at : next;
    }
}

TEST_F(RegistrySearch, CurrentVersionPicksTheFamily) {
    fs::path jre = layOut("jre18"), jdk = layOut("jdk17", loadable("1.7.0_80"));
    import(currentVersion(kJre, "1.8") + registered(kJre, "1.8", jre) + currentVersion(kJdk, "1.7") +
           registered(kJdk, "1.7", jdk));
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("found sun " + javaOf(jre) + " 1.8.0_201")) << r.trace;
}

TEST_F(RegistrySearch, OutOfBoundsCurrentVersionCountsAsEmpty) {
    fs::path jdk = layOut("jdk18"), jre = layOut("jre9", loadable("9.0.4"));
    set(key::MaxVersion, "1.8");
    import(currentVersion(kJdk, "1.8") + registered(kJdk, "1.8", jdk) + currentVersion(kJre, "9") +
           registered(kJre, "9", jre));
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("found sun " + javaOf(jdk) + " 1.8.0_201")) << r.trace;
}

TEST_F(RegistrySearch, RequiredJdkLeavesTheJreFamilyAlone) {
    fs::path jdk = layOut("jdk", {.embeddedJre = true, .toolsJar = true, .vmLibraries = {"jre/bin/server/jvm.dll"}});
    set(key::RequireJdk, "1");
    import(currentVersion(kJre, "1.8") + registered(kJre, "1.8", jdk));
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 83);
    EXPECT_EQ(checkedHomes(r, dir_), std::vector<std::string>{}) << r.trace;

    // A JDK of today (no tools.jar, no embedded jre) registered in its own family.
    fs::path modern = layOut("jdk21", {.version = "21.0.1", .javac = true, .vmLibraries = {"bin/server/jvm.dll"}});
    import(currentVersion(kJdk, "21") + registered(kJdk, "21", modern));
    RunResult today = run(buildLauncher("today.exe"));
    EXPECT_EQ(today.exitCode, 0) << today.err;
    EXPECT_TRUE(today.traced("found sun " + javaOf(modern) + " 21.0.1")) << today.trace;
}

TEST_F(RegistrySearch, SubKeysAreTriedFromTheNewest) {
    std::string keys;
    for (const char* name : {"1.6", "1.6.0_45", "1.7", "1.8", "1.8.0_201"})
        keys += registered(kJre, name, dir_ / "missing" / name);
    import(keys);
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 83);
    EXPECT_EQ(checkedHomes(r, dir_ / "missing"),
              (std::vector<std::string>{"1.8.0_201", "1.8", "1.7", "1.6.0_45", "1.6"}));

    // Versions from 9 on compare as numbers: 21 is the newest, 1.8 the oldest.
    keys = std::string("[-") + kJre + "]\r\n";
    for (const char* name : {"1.8", "9", "10", "17", "21"}) keys += registered(kJdk, name, dir_ / "missing" / name);
    import(keys);
    RunResult modern = run(buildLauncher("modern.exe"));
    EXPECT_EQ(checkedHomes(modern, dir_ / "missing"), (std::vector<std::string>{"21", "17", "10", "9", "1.8"}));
}

TEST_F(RegistrySearch, LocatedRuntimeWinsATie) {
    fs::path registeredHome = layOut("registered"), locatedHome = layOut("located");
    import(currentVersion(kJre, "1.8") + registered(kJre, "1.8", registeredHome) +
           located("HKEY_CURRENT_USER", locatedHome));
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("found sun " + javaOf(registeredHome) + " 1.8.0_201")) << r.trace;
    EXPECT_TRUE(r.traced("found located " + javaOf(locatedHome) + " 1.8.0_201"));
    EXPECT_TRUE(r.traced("Trying to load JVM-DLL from " + javaOf(locatedHome)));
}

TEST_F(RegistrySearch, LocatedRuntimesCompareByVersionAcrossHives) {
    fs::path user = layOut("user", loadable("1.8.0_100")), machine = layOut("machine", loadable("1.8.0_60"));
    import(located("HKEY_CURRENT_USER", user) + located("HKEY_LOCAL_MACHINE", machine));
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("found located " + javaOf(user) + " 1.8.0_100")) << r.trace;
    EXPECT_TRUE(r.traced("Trying to load JVM-DLL from " + javaOf(user)));
}

TEST_F(RegistrySearch, PrereleasesPassOnlyAsLocatedRuntimes) {
    fs::path ea = layOut("ea", loadable("1.8.0-ea"));
    import(currentVersion(kJre, "1.8") + registered(kJre, "1.8", ea));
    RunResult refused = run(buildLauncher());
    EXPECT_EQ(refused.exitCode, 83);
    EXPECT_TRUE(refused.traced("beta vm not allowed")) << refused.trace;

    import(located("HKEY_LOCAL_MACHINE", ea));
    RunResult taken = run(buildLauncher("taken.exe"));
    EXPECT_EQ(taken.exitCode, 0) << taken.err;
    EXPECT_TRUE(taken.traced("found located " + javaOf(ea) + " 1.8.0-ea"));
}

TEST_F(RegistrySearch, PreviousInstallationsOfBothHives) {
    fs::path install = dir_ / "install";
    layOut("install/jre");
    set(key::SearchList, "");
    set(key::InstallationsValue, "MyApp");
    std::string list = windowsPath(dir_ / "gone") + ";" + windowsPath(install);
    import("[HKEY_LOCAL_MACHINE\\SOFTWARE\\quenfield\\velmora\\installations]\r\n\"MyApp\"=" + regString(list) + "\r\n");
    RunResult machine = run(buildLauncher());
    EXPECT_EQ(machine.exitCode, 0) << machine.err;
    EXPECT_TRUE(machine.traced("found installations: " + list)) << machine.trace;
    EXPECT_TRUE(machine.traced("found JRE from previous installation (machine) " + javaOf(install / "jre")));

    import("[HKEY_CURRENT_USER\\SOFTWARE\\quenfield\\velmora\\installations]\r\n\"MyApp\"=" +
           regString(windowsPath(install)) + "\r\n");
    RunResult user = run(buildLauncher("user.exe"));
    EXPECT_TRUE(user.traced("found JRE from previous installation (user) " + javaOf(install / "jre"))) << user.trace;
}

TEST_F(RegistrySearch, RegisteredRuntimeWithoutVmLibraryCannotStart) {
    fs::path broken = layOut("broken", {});
    import(currentVersion(kJre, "1.8") + registered(kJre, "1.8", broken));
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 83);
    EXPECT_EQ(r.err, r.reported(message(1005)));
}

}  // namespace
}  // namespace kestro::e2e
