// Second starts against a first instance whose application listens with the runtime
// library's InstanceHandover, run by the host's JDK through the host-runtime VM library:
// many at once, each start's arguments arrive once and whole; before the application
// listens, they end at once all the same. Every start ends with 0.
#include "harness.h"

#include <algorithm>
#include <chrono>
#include <iostream>

namespace kestro::e2e {
namespace {

class HandoverLoad : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        record_ = dir_ / "record.txt";
        ready_ = dir_ / "ready";
        stop_ = dir_ / "stop";
        layOut("host", layout::hostRuntime());
        set(key::SearchList, "Rhost");
        set(key::ApplicationType, "2");  // reports on standard error
        set(key::SingleInstance, "1");
        // Records every list it receives (tests/java/src/com/kestro/runtime/testapps/Apps.java).
        set(key::MainClass, "com.kestro.runtime.testapps.Apps$HandoverRecorder");
        set(key::IncludedCount, "2");
        set(key::IncludedNames, "kestro-runtime.jar;java-runtime-tests.jar");
        set(key::VmOptions, options());
    }

    std::string options() const {
        return option("handover.record", record_) + " " + option("handover.ready", ready_) + " " +
               option("handover.stop", stop_);
    }

    // The application ends by itself even when a test stops short.
    void TearDown() override { writeBytes(stop_, ""); }

    static std::string option(const std::string& name, const fs::path& path) {
        return "\"-D" + name + "=" + windowsPath(path) + "\"";
    }

    fs::path launcher() {
        fs::path tests = buildDir() / "tests" / "java" / "java-runtime-tests.jar";
        return buildLauncher("app.exe", {{"kestro-runtime.jar", buildDir() / "tool" / "kestro-runtime.jar"},
                                         {"java-runtime-tests.jar", tests}});
    }

    std::vector<std::string> recorded() const { return RunResult{.trace = readBytes(record_)}.traceLines(); }

    fs::path record_, ready_, stop_;
};

TEST_F(HandoverLoad, TwentySecondStartsAtOnceEachHandOverOnceAndWhole) {
    const std::string omega = "\xCE\xA9mega", nihon = "\xE6\x97\xA5\xE6\x9C\xAC", smile = "\xF0\x9F\x98\x80";
    fs::path exe = launcher();
    auto first = start(exe);
    ASSERT_TRUE(waitUntil([&] { return fs::exists(ready_) || !first->running(); }, 120000));
    ASSERT_TRUE(fs::exists(ready_)) << "the first instance did not start listening: " << first->wait().err;

    // Each list as typed, and as the application's record shows it ("<argument>" each).
    std::vector<std::string> typed, expected;
    for (int i = 0; i < 20; ++i) {
        std::string n = std::to_string(i);
        typed.push_back("-n" + n + " \"file " + n + " with spaces.txt\" " + omega + n + " '" + nihon + " " + smile +
                        n + "' \"\" x\\\"y" + n);
        expected.push_back("<-n" + n + "><file " + n + " with spaces.txt><" + omega + n + "><" + nihon + " " + smile +
                           n + "><><x\\y" + n + ">");
    }

    auto began = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<BackgroundRun>> seconds;
    for (const std::string& arguments : typed) seconds.push_back(start(exe, {.arguments = arguments, .trace = false}));
    for (size_t i = 0; i < seconds.size(); ++i) {
        RunResult r = seconds[i]->wait();
        EXPECT_EQ(r.exitCode, 0) << "second start " << i << ": " << r.err;
    }
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
    std::cout << "[  TIMING  ] 20 second starts at once: all ended " << took.count()
              << " ms after the first was started\n" << std::flush;

    // The application deletes a file before its listener sees the list: the last one may
    // still be on its way.
    EXPECT_TRUE(waitUntil([&] { return recorded().size() >= expected.size(); }, 30000));
    std::vector<std::string> got = recorded();
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(notificationFiles(tmp_).empty());

    writeBytes(stop_, "");
    RunResult r = first->wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "available: true\nhand-over threads: 2\n");
    EXPECT_EQ(r.err, "");
}

// The application registers its listener late (here: once told to). The library takes
// each file from the VM's start, so that every second start ends as soon as its file is
// taken, not after ten seconds; the lists reach the listener in order once it comes.
TEST_F(HandoverLoad, SecondStartsEndAtOnceBeforeTheApplicationListens) {
    fs::path listen = dir_ / "listen";
    set(key::VmOptions, options() + " " + option("handover.listenAfter", listen));
    fs::path exe = launcher();
    auto first = start(exe, {.trace = false});
    ASSERT_TRUE(waitUntil([&] { return fs::exists(ready_) || !first->running(); }, 120000));
    ASSERT_TRUE(fs::exists(ready_)) << "the first instance did not start: " << first->wait().err;

    for (int i = 0; i < 3; ++i) {
        auto began = std::chrono::steady_clock::now();
        RunResult r = run(exe, {.arguments = "-n" + std::to_string(i)});
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began);
        std::cout << "[  TIMING  ] second start " << i << " before a listener: " << took.count() << " ms\n";
        EXPECT_EQ(r.exitCode, 0) << r.err;
        int waiting = r.traceIndex("waiting for file deletion");
        EXPECT_TRUE(waiting > 0 && r.traceIndex("exiting", waiting) == waiting + 1) << r.trace;
        EXPECT_TRUE(notificationFiles(tmp_).empty());
    }
    EXPECT_TRUE(recorded().empty());
    writeBytes(listen, "");
    EXPECT_TRUE(waitUntil([&] { return recorded().size() >= 3; }, 30000));
    EXPECT_EQ(recorded(), (std::vector<std::string>{"<-n0>", "<-n1>", "<-n2>"}));
    writeBytes(stop_, "");
    RunResult r = first->wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace kestro::e2e
