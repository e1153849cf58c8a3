// The class path of a launcher run as the VM receives it: directives, the archives of
// the temporary directory, the runtime jar and the configured entries, and the reports
// for mandatory entries that are missing.
#include "vm_run.h"

#include <algorithm>

namespace kestro::e2e {
namespace {

using ClassPathAssembly = VmRunTest;
using Texts = std::vector<std::string>;

Texts split(const std::string& list) {
    Texts out;
    for (size_t at = 0; at <= list.size();) {
        size_t end = std::min(list.find(';', at), list.size());
        out.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// A drive letter of the test prefix that names a directory of the test, for as long as
// the test runs.
class DriveLetter {
public:
    DriveLetter(const std::string& letter, const fs::path& target)
        : link_(buildDir() / "wineprefix" / "dosdevices" / (letter + ":")) {
        fs::remove(link_);
        fs::create_directory_symlink(target, link_);
    }
    ~DriveLetter() { fs::remove(link_); }

private:
    fs::path link_;
};

TEST_F(ClassPathAssembly, PartsComeInTheirOrderFromThePrefixToTheSuffix) {
    set(key::Flavour, "v");
    set(key::ApplicationDirectory, ".");
    set(key::VmOptions, "'-classpath/p pre.jar'");
    writeBytes(dir_ / "app.vmoptions", "-classpath/a post.jar\n");
    set(key::ClassPath, "A0.\\.velmora\\user.jar;S0.\\.velmora\\user;E0QUOTED;E0LIST;E0UNSET;S1empty;D0classes;"
                        "A1${LIBDIR}\\present.jar");
    fs::create_directories(dir_ / "empty");
    writeBytes(dir_ / "lib" / "present.jar", "");
    set(key::IncludedCount, "6");
    set(key::IncludedNames, "b.jar;a.zip;a.jar;user\\u.zip;user\\u.jar;notes.txt");
    std::vector<format::IncludedFile> files;
    for (const std::string name : {"b.jar", "a.zip", "a.jar", "user\\u.zip", "user\\u.jar", "notes.txt"})
        files.push_back({name, writeBytes(dir_ / "src" / name, name)});
    const std::map<std::string, std::optional<std::string>> env = {
        {"QUOTED", "\"Z:\\My Libs\\x.jar\""}, {"LIST", "Z:\\a.jar;Z:\\b.jar;"}, {"LIBDIR", "lib"}};
    RunResult r = run(buildLauncher("app.exe", files), {.env = env});
    EXPECT_EQ(r.exitCode, 0) << r.err;

    Texts entries = split(classPathOf(jvmTranscript(dir_ / "jre")));
    const std::string temp = announcedDirectory(r), launcher = windowsPath(dir_);
    ASSERT_GE(entries.size(), 3u);
    // Within the directory the file system's order stands; jar files before zip files.
    std::sort(entries.begin() + 1, entries.begin() + 3);
    EXPECT_EQ(entries, (Texts{"pre.jar", temp + "\\a.jar", temp + "\\b.jar", temp + "\\a.zip", temp + "\\user\\u.jar",
                              temp + "\\user\\u.zip", launcher + "\\.velmora\\vlmruntime.jar",
                              launcher + "\\.\\.velmora\\user.jar", "Z:\\My Libs\\x.jar", "Z:\\a.jar", "Z:\\b.jar",
                              launcher + "\\classes", launcher + "\\lib\\present.jar", "post.jar"}));
    EXPECT_TRUE(r.traced("classpath entry A0.\\.velmora\\user.jar;S0.\\.velmora\\user;E0QUOTED;E0LIST;E0UNSET;"
                         "S1empty;D0classes;A1${LIBDIR}\\present.jar"));
}

// The report names the entry as expanded; an empty directory that is scanned is found.
TEST_F(ClassPathAssembly, MissingMandatoryEntriesEndTheStartNamingThem) {
    fs::create_directories(dir_ / "empty");
    const struct {
        const char* entries;
        std::string report;
    } cases[] = {
        {"S1empty;S1missing${N}", message(1006, "missing2")},
        {"A1lib${N}.jar", message(1006, "lib2.jar")},
        {"E0UNSET;E1UNSET_${N}", message(1008, "UNSET_2")},
        {"S1empty", ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        set(key::ClassPath, c.entries);
        RunResult r = run(buildLauncher("app" + std::to_string(++n) + ".exe"), {.env = {{"N", "2"}}});
        EXPECT_EQ(r.exitCode, c.report.empty() ? 0 : 1);
        EXPECT_EQ(r.err, c.report.empty() ? "" : r.reported(c.report));
        EXPECT_EQ(r.traced("Creating JVM"), c.report.empty());
    }
    // Only the last start created a VM.
    EXPECT_EQ(jvmTranscript(dir_ / "jre").values("JNI_CreateJavaVM returns "), Texts{"0"});
}

// Without included files there is no temporary directory, and nothing is searched in
// its place: not "\user" at the root of the current drive, where anyone could put a jar.
// A replacement directive takes the place of the configured entries, which are then not
// read; the kestro flavour adds no runtime jar.
TEST_F(ClassPathAssembly, WithoutATemporaryDirectoryOnlyTheDirectivesAndEntriesCount) {
    writeBytes(dir_ / "drive" / "user" / "planted.jar", "");
    writeBytes(dir_ / "drive" / "user" / "planted.zip", "");
    DriveLetter drive("k", dir_ / "drive");
    set(key::WorkingDirectory, "K:\\");
    set(key::ClassPath, "A1missing.jar");
    set(key::VmOptions, "'-classpath/a s.jar'");
    writeBytes(dir_ / "app.vmoptions", "-classpath r1.jar;r2.jar;\n");
    RunResult r = run(buildLauncher());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.traced("change working directory to K:\\")) << r.trace;
    EXPECT_EQ(classPathOf(jvmTranscript(dir_ / "jre")), "r1.jar;r2.jar;s.jar");
    EXPECT_FALSE(r.tracedPrefix("classpath entry"));
}

}  // namespace
}  // namespace kestro::e2e
