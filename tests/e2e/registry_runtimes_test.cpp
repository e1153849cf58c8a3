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
constexpr char kJre9[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\JRE";
constexpr char kJdk9[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\JDK";

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
        set(key::ApplicationType, "2");  // reports on standard error
    }
    void TearDown() override { replaceWith(); }

    // Imports `lines` in the .reg format without its header line ("[-KEY]" deletes).
    void import(const std::string& lines) {
        fs::path file = dir_ / ("import" + std::to_string(++imports_) + ".reg");
        std::ofstream(file, std::ios::binary) << "REGEDIT4\r\n\r\n" << lines << "\r\n";
        RunResult r = BackgroundRun(file, {.commandLine = "regedit /S " + windowsPath(file)}, dir_).wait();
        ASSERT_EQ(r.exitCode, 0) << "regedit failed on " << file << "\nout: " << r.out << "\nerr: " << r.err;
    }
    // Deletes the keys that runtime searches read, then imports `lines`.
    void replaceWith(const std::string& lines = "") {
        import("[-HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft]\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\JDK]\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Eclipse Adoptium]\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\AdoptOpenJDK]\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Eclipse Foundation]\r\n[-HKEY_CURRENT_USER\\SOFTWARE\\Eclipse Adoptium]\r\n"
               "[-HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\JDK]\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Azul Systems]\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\BellSoft]\r\n"
               "[-HKEY_CURRENT_USER\\SOFTWARE\\quenfield\\kestro\\locatedjvms]\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\quenfield\\kestro\\locatedjvms]\r\n"
               "[-HKEY_CURRENT_USER\\SOFTWARE\\quenfield\\velmora\\installations]\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\quenfield\\velmora\\installations]\r\n" + lines);
    }

    // A family sub-key whose "JavaHome" names `home`, and the family's "CurrentVersion".
    static std::string registered(const char* family, const std::string& name, const fs::path& home) {
        return std::string("[") + family + "\\" + name + "]\r\n\"JavaHome\"=" + regString(windowsPath(home)) + "\r\n";
    }
    static std::string currentVersion(const char* family, const std::string& version) {
        return std::string("[") + family + "]\r\n\"CurrentVersion\"=" + regString(version) + "\r\n";
    }
    // An MSI's registration below `family` ("Eclipse Adoptium\JDK"): its install directory,
    // with the trailing backslash MSIs write, under the VM's sub-key (none: the layout
    // before 2019); no value without a home.
    static std::string installed(const std::string& family, const std::string& version, const fs::path& home,
                                 const std::string& vm = "hotspot", const std::string& hive = "HKEY_LOCAL_MACHINE") {
        return "[" + hive + "\\SOFTWARE\\" + family + "\\" + version + (vm.empty() ? "" : "\\" + vm) +
               "\\MSI]\r\n" + (home.empty() ? "" : "\"Path\"=" + regString(windowsPath(home) + "\\") + "\r\n");
    }
    // Azul's and BellSoft's registration: a sub-key per installation, named by the product.
    static std::string named(const std::string& family, const std::string& name, const fs::path& home) {
        return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\" + family + "\\" + name + "]\r\n\"InstallationPath\"=" +
               regString(windowsPath(home) + "\\") + "\r\n";
    }
    // A located runtime: the key name is the java executable's path with "/" for "\".
    static std::string located(const char* hive, const fs::path& home) {
        std::string name = windowsPath(home / "bin" / "java.exe");
        std::replace(name.begin(), name.end(), '\\', '/');
        return std::string("[") + hive + "\\SOFTWARE\\quenfield\\kestro\\locatedjvms\\" + name + "]\r\n";
    }
    static std::string installations(const char* hive, const std::string& list) {
        return std::string("[") + hive + "\\SOFTWARE\\quenfield\\velmora\\installations]\r\n\"MyApp\"=" +
               regString(list) + "\r\n";
    }

    // One launcher per row: the row's registry and settings, then its exit code, trace
    // lines that must and must not begin a line, and the report.
    struct Case {
        const char* name;
        std::string registry;
        std::map<format::ConfigKey, std::string> keys;
        int exitCode;
        std::vector<std::string> traced;
        std::string notTraced, report;
    };
    void runCases(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            replaceWith(c.registry);
            set(key::SearchList, "Y");
            for (const auto& [k, value] : c.keys) set(k, value);
            RunResult r = run(buildLauncher("case" + std::to_string(++launchers_) + ".exe"));
            for (const auto& [k, value] : c.keys) set(k, "");
            EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
            for (const std::string& line : c.traced) EXPECT_TRUE(r.traced(line)) << line << "\n" << r.trace;
            if (!c.notTraced.empty()) { EXPECT_FALSE(r.tracedPrefix(c.notTraced)) << r.trace; }
            if (!c.report.empty()) { EXPECT_EQ(r.err, r.reported(c.report)); }
        }
    }

    int imports_ = 0, launchers_ = 0;
};

// What each kind of registration makes the search choose (the order of a family's
// sub-keys and the version comparisons are the native tests').
TEST_F(RegistrySearch, EachKindOfRegistrationIsFoundByItsRules) {
    fs::path r18 = layOut("r18"), r17 = layOut("r17", loadable("1.7.0_80")), r9 = layOut("r9", loadable("9.0.4"));
    fs::path oldJdk =
        layOut("oldjdk", {.embeddedJre = true, .toolsJar = true, .vmLibraries = {"jre/bin/server/jvm.dll"}});
    fs::path jdk21 = layOut("jdk21", {.version = "21.0.1", .javac = true, .vmLibraries = {"bin/server/jvm.dll"}});
    fs::path user = layOut("user", loadable("1.8.0_100")), machine = layOut("machine", loadable("1.8.0_60"));
    fs::path ea = layOut("ea", loadable("1.8.0-ea")), broken = layOut("broken", {});
    fs::path install = dir_ / "install";
    layOut("install/jre");
    const std::string kUser = "HKEY_CURRENT_USER", kMachine = "HKEY_LOCAL_MACHINE";
    const std::string installs = windowsPath(dir_ / "gone") + ";" + windowsPath(install);
    runCases({
        {"the current version picks the family",
         currentVersion(kJre, "1.8") + registered(kJre, "1.8", r18) + currentVersion(kJdk, "1.7") +
             registered(kJdk, "1.7", r17),
         {}, 0, {"found sun " + javaOf(r18) + " 1.8.0_201"}},
        {"a current version out of bounds counts as empty",
         currentVersion(kJdk, "1.8") + registered(kJdk, "1.8", r18) + currentVersion(kJre, "9") +
             registered(kJre, "9", r9),
         {{key::MaxVersion, "1.8"}}, 0, {"found sun " + javaOf(r18) + " 1.8.0_201"}},
        {"a required JDK leaves the JRE family alone", currentVersion(kJre, "1.8") + registered(kJre, "1.8", oldJdk),
         {{key::RequireJdk, "1"}}, 83, {}, "checkJavaExe (" + windowsPath(oldJdk)},
        {"a JDK of today in its own family", currentVersion(kJdk, "21") + registered(kJdk, "21", jdk21),
         {{key::RequireJdk, "1"}}, 0, {"found sun " + javaOf(jdk21) + " 21.0.1"}},
        {"located runtimes compare by version across hives",
         located(kUser.c_str(), user) + located(kMachine.c_str(), machine), {}, 0,
         {"found located " + javaOf(user) + " 1.8.0_100", "Trying to load JVM-DLL from " + javaOf(user)}},
        {"a pre-release is refused as registered", currentVersion(kJre, "1.8") + registered(kJre, "1.8", ea), {}, 83,
         {"beta vm not allowed"}},
        {"and taken as located", located(kMachine.c_str(), ea), {}, 0, {"found located " + javaOf(ea) + " 1.8.0-ea"}},
        {"previous installations of the machine", installations(kMachine.c_str(), installs),
         {{key::SearchList, ""}, {key::InstallationsValue, "MyApp"}}, 0,
         {"found installations: " + installs,
          "found JRE from previous installation (machine) " + javaOf(install / "jre")}},
        {"and of the user", installations(kUser.c_str(), windowsPath(install)),
         {{key::SearchList, ""}, {key::InstallationsValue, "MyApp"}}, 0,
         {"found JRE from previous installation (user) " + javaOf(install / "jre")}},
        {"a registered runtime without a VM library", currentVersion(kJre, "1.8") + registered(kJre, "1.8", broken),
         {}, 83, {}, "", message(1005)},
    });
}

// Today's registrations, each found on its own, and the newest of all registered
// runtimes weighed against the located one.
TEST_F(RegistrySearch, TodaysRegistrationsAreFoundAndTheNewestWins) {
    fs::path jdk17 = layOut("jdk17", {.version = "17.0.2", .javac = true, .vmLibraries = {"bin/server/jvm.dll"}});
    fs::path jdk21 = layOut("jdk21", {.version = "21.0.1", .javac = true, .vmLibraries = {"bin/server/jvm.dll"}});
    fs::path jre17 = layOut("jre17", loadable("17.0.2")), r18 = layOut("r18"), loc18 = layOut("loc18");
    auto found = [](const std::string& source, const fs::path& home, const char* version,
                    const std::string& root = "SOFTWARE\\") {
        return "found " + root + source + " " + javaOf(home) + " " + version;
    };
    const std::string kUser = "HKEY_CURRENT_USER";
    auto loads = [](const fs::path& home) { return "Trying to load JVM-DLL from " + javaOf(home); };
    const std::string temurin = "Eclipse Adoptium\\JDK", both = registered(kJdk9, "17", jdk17);
    runCases({
        {"JavaSoft JDK", registered(kJdk9, "17.0.2", jdk17), {{key::MinVersion, "11"}}, 0,
         {found("JavaSoft\\JDK", jdk17, "17.0.2")}},
        {"JavaSoft JRE", registered(kJre9, "17", jre17), {}, 0, {found("JavaSoft\\JRE", jre17, "17.0.2")}},
        {"Temurin", installed(temurin, "21.0.1.12", jdk21), {}, 0, {found(temurin, jdk21, "21.0.1")}},
        {"Eclipse Foundation", installed("Eclipse Foundation\\JDK", "17.0.2.8", jdk17), {}, 0,
         {found("Eclipse Foundation\\JDK", jdk17, "17.0.2")}},
        {"AdoptOpenJDK before 2019", installed("AdoptOpenJDK\\JRE", "8.0.201.9", r18, ""), {{key::MaxVersion, "1.8"}},
         0, {found("AdoptOpenJDK\\JRE", r18, "1.8.0_201")}},
        {"Microsoft", installed("Microsoft\\JDK", "21.0.1.12", jdk21), {}, 0,
         {found("Microsoft\\JDK", jdk21, "21.0.1")}},
        {"Temurin and Microsoft for one user",
         installed(temurin, "17.0.2.8", jdk17, "hotspot", kUser) +
             installed("Microsoft\\JDK", "21.0.1.12", jdk21, "hotspot", kUser),
         {}, 0,
         {found("HKEY_CURRENT_USER\\SOFTWARE\\" + temurin, jdk17, "17.0.2", ""),
          found("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\JDK", jdk21, "21.0.1", ""), loads(jdk21)}},
        {"Zulu, every installation checked", named("Azul Systems\\Zulu", "zulu-21", jdk21) +
             named("Azul Systems\\Zulu", "zulu-17", jdk17) + named("Azul Systems\\Zulu", "zulu-8", dir_ / "gone"),
         {{key::MaxVersion, "17"}}, 0, {found("Azul Systems\\Zulu", jdk17, "17.0.2")}},
        {"Liberica", named("BellSoft\\Liberica", "jdk-21", jdk21), {}, 0, {found("BellSoft\\Liberica", jdk21, "21.0.1")}},
        {"the newest across sources", both + installed(temurin, "21.0.1.12", jdk21), {}, 0, {loads(jdk21)}},
        {"within the bounds", both + installed(temurin, "21.0.1.12", jdk21), {{key::MaxVersion, "17"}}, 0,
         {loads(jdk17)}},
        {"a JDK required leaves the JRE registrations alone",
         registered(kJre9, "17", jre17) + installed("Eclipse Adoptium\\JRE", "17.0.2.8", jre17),
         {{key::RequireJdk, "1"}}, 83, {}, "checkJavaExe ("},
        {"a located runtime wins a tie", installed(temurin, "8.0.201.9", r18) + located("HKEY_CURRENT_USER", loc18), {},
         0, {found(temurin, r18, "1.8.0_201"), loads(loc18)}},
        {"a key without its value, a home that is gone",
         installed(temurin, "21.0.1.12", {}) + registered(kJdk9, "17", dir_ / "gone"), {}, 83,
         {"Passed over SOFTWARE\\" + temurin + "\\21.0.1.12\\hotspot\\MSI: no value Path",
          "Passed over " + javaOf(dir_ / "gone") + ": no java executable"}},
    });
}

}  // namespace
}  // namespace kestro::e2e
