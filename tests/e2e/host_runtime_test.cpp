// Launchers whose runtime's VM library hands the launch to the host's JDK, with the real
// runtime library: a Java application included in the launcher runs from its temporary
// directory, and its output, arguments, exit code, exceptions and threads come out as
// they would on Windows.
#include "harness.h"

#include <algorithm>
#include <sstream>

namespace kestro::e2e {
namespace {

class HostRuntime : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        layOut("host", layout::hostRuntime());
        set(key::SearchList, "Rhost");
        set(key::ApplicationType, "2");  // reports on standard error
        set(key::MainClass, "com.kestro.testing.HostApp");
        set(key::IncludedCount, "2");
        set(key::IncludedNames, "kestro-runtime.jar;host_app.jar");
    }

    // A launcher that includes the runtime library and the application (see
    // tests/fixtures/java/com/kestro/testing/HostApp.java), with the VM options of key 123.
    fs::path launcher(const std::string& name, const std::string& vmOptions = "") {
        set(key::VmOptions, vmOptions);
        return buildLauncher(name, {{"kestro-runtime.jar", buildDir() / "tool" / "kestro-runtime.jar"},
                                    {"host_app.jar", fixturesDir() / "host_app.jar"}});
    }

    static std::string option(const std::string& name, const std::string& value) {
        return "\"-D" + name + "=" + value + "\"";
    }

    // The value of the application's output line "NAME: VALUE".
    static std::string printed(const RunResult& r, const std::string& name) {
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(name + ": ", 0) == 0) return line.substr(name.size() + 2);
        return "(not printed)";
    }

    // The temporary directory the application was told, checked to be this run's.
    static fs::path announcedTempDir(const RunResult& r) {
        fs::path dir = printed(r, "kestro.tempDir");
        EXPECT_EQ(dir, unixPath(announcedDirectory(r))) << r.out << r.trace;
        return dir;
    }
};

TEST_F(HostRuntime, RunsTheApplicationFromItsIncludedJarsWhoseDirectoryGoesWithTheVm) {
    RunResult r = run(launcher("app.exe"), {.arguments = "a \"b c\""});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    fs::path dir = announcedTempDir(r);
    EXPECT_TRUE(r.out.starts_with("arg 0: a\narg 1: b c\n")) << r.out;
    EXPECT_TRUE(r.out.ends_with("main returning\n")) << r.out;
    // Both jars are loaded from the temporary directory, which is all of the class path.
    EXPECT_EQ(printed(r, "app class from"), "file:" + (dir / "host_app.jar").string());
    EXPECT_EQ(printed(r, "launcher class from"), "file:" + (dir / "kestro-runtime.jar").string());
    std::vector<std::string> classPath;
    std::istringstream entries(printed(r, "java.class.path"));
    for (std::string entry; std::getline(entries, entry, ':');) classPath.push_back(entry);
    std::sort(classPath.begin(), classPath.end());
    EXPECT_EQ(classPath,
              (std::vector<std::string>{(dir / "host_app.jar").string(), (dir / "kestro-runtime.jar").string()}));

    int calling = r.traceIndex("calling main");
    EXPECT_GT(calling, 0) << r.trace;
    EXPECT_EQ(r.traceIndex("main returned"), calling + 1);
    EXPECT_EQ(r.traceIndex("dest JVM"), calling + 2);
    EXPECT_EQ(r.traceIndex("launch done"), calling + 3);
    // The launcher leaves the directory after a normal end; the library removed it.
    EXPECT_FALSE(fs::exists(dir)) << dir;
    EXPECT_TRUE(runDirectories(tmp_).empty());
}

// Wine's own temporary directory lies on drive C:, whose Linux paths run through the
// link "dosdevices/c:"; java must not take that colon for a class path separator.
TEST_F(HostRuntime, RunsFromATemporaryDirectoryOnDriveC) {
    const std::string name = "kestro-e2e-host-runtime";
    fs::path root = buildDir() / "wineprefix" / "drive_c" / name;
    fs::remove_all(root);
    fs::create_directories(root);
    RunResult r =
        run(launcher("app.exe"), {.env = {{"TMP", "C:\\" + name}, {"TEMP", "C:\\" + name}}, .traceDir = root});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    fs::path dir = printed(r, "kestro.tempDir");
    EXPECT_EQ(dir.parent_path(), buildDir() / "wineprefix" / "dosdevices" / "c:" / name);
    EXPECT_EQ(printed(r, "app class from"), "file:" + (fs::canonical(root) / dir.filename() / "host_app.jar").string());
    EXPECT_TRUE(r.out.ends_with("main returning\n")) << r.out;
    EXPECT_FALSE(fs::exists(dir)) << dir;
    EXPECT_TRUE(runDirectories(root).empty());
    fs::remove_all(root);
}

TEST_F(HostRuntime, ArgumentsBeyondTheAnsiCodePageReachMainUnchanged) {
    const std::string omega = "\xCE\xA9mega \xE6\x97\xA5\xE6\x9C\xAC";
    const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600: a surrogate pair in UTF-16
    fs::path received = dir_ / "received.txt";
    RunResult r = run(launcher("app.exe", option("app.argsFile", windowsPath(received))),
                      {.arguments = "\"" + omega + "\" " + emoji + " 'say \"hi\"' \"\" x"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readBytes(received), omega + "\n" + emoji + "\nsay \"hi\"\n\nx\n");
    EXPECT_TRUE(r.out.starts_with("arg 0: " + omega + "\narg 1: " + emoji + "\n")) << r.out;
    // The trace shows them in the ANSI code page; main's strings are untouched by that.
    EXPECT_TRUE(r.traced("param 6: ?mega ??")) << r.trace;
}

TEST_F(HostRuntime, AnExceptionOfTheApplicationIsReportedAndEndsTheLauncherWithOne) {
    RunResult r = run(launcher("app.exe", option("app.action", "throw")));
    EXPECT_EQ(r.exitCode, 1);
    // The application's own exception, not one of the runtime library's reflection.
    const std::string described = "Exception in thread \"main\" java.lang.IllegalStateException: app failure\n"
                                  "\tat com.kestro.testing.HostApp.main(HostApp.java:";
    EXPECT_TRUE(r.err.starts_with(described)) << r.err;
    EXPECT_TRUE(r.err.ends_with("\n" + r.reported(message(msg::JvmStartFailed)))) << r.err;
    EXPECT_TRUE(r.traced("ERROR: an exception occured"));
    EXPECT_TRUE(r.traced("ERROR: could not call main"));
    EXPECT_FALSE(r.traced("dest JVM")) << r.trace;
    EXPECT_TRUE(runDirectories(tmp_).empty());  // the fatal exit removes it
}

TEST_F(HostRuntime, SystemExitEndsTheLauncherWithItsCodeAndTheDirectoryGoesToo) {
    RunResult r = run(launcher("app.exe", option("app.action", "exit:3")));
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.traced("calling main"));
    EXPECT_FALSE(r.traced("main returned")) << r.trace;
    fs::path dir = announcedTempDir(r);
    EXPECT_FALSE(fs::exists(dir)) << dir;
}

// The thread waits for the VM's main thread to end, so it certainly outlives main; when
// it finishes, the launcher has asked to destroy the VM and has not gone on.
TEST_F(HostRuntime, ANonDaemonThreadFinishesBeforeTheLauncherEnds) {
    fs::path report = dir_ / "thread.txt";
    RunResult r = run(launcher("app.exe", option("app.action", "thread:" + report.string()) + " " +
                                              option("app.traceDir", windowsPath(tmp_))));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with("main returning\nthread finished\n")) << r.out;
    EXPECT_EQ(readBytes(report), "dest JVM");
    auto lines = r.traceLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "launch done") << r.trace;
    EXPECT_FALSE(fs::exists(announcedTempDir(r)));
}

}  // namespace
}  // namespace kestro::e2e
