// Launchers of one executable meeting each other: numbered instances, and in
// single-instance mode the hand-over of a second start's arguments to the first
// instance, whose application is the recording VM kept running in main. The tests act
// as that application: they read and delete the notification file themselves.
#include <chrono>

#include "small_disk.h"
#include "virtual_display.h"

namespace kestro::e2e {
namespace {

using layout::JvmScript;
using Texts = std::vector<std::string>;

// The notification file's bytes for an ASCII text: UTF-16LE, no byte-order mark.
std::string utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
}

std::string optionValue(const layout::VmTranscript& t, const std::string& name, size_t occurrence = 0) {
    Texts values = t.values("option -D" + name + "=");
    return occurrence < values.size() ? values[occurrence] : "(none)";
}

// The process id in "...\kst_p<id>.tmp".
std::string processIdOf(const std::string& commFile) {
    size_t at = commFile.rfind("kst_p");
    return at == std::string::npos ? "(none)" : commFile.substr(at + 5, commFile.size() - at - 9);
}

class SingleInstance : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        release_ = dir_ / "release";
        home_ = useRuntime("app-jre", {.mainWaitFor = windowsPath(release_)});
        set(key::SingleInstance, "1");
    }
    void TearDown() override { releaseApplications(); }

    int applicationsWaiting() { return int(jvmTranscript(home_).values("main waits").size()); }

    // Starts `exe` and waits until its application runs and stays (main waits).
    std::unique_ptr<BackgroundRun> startApplication(const fs::path& exe, RunOptions options = {}) {
        int before = applicationsWaiting();
        auto run = start(exe, std::move(options));
        EXPECT_TRUE(waitUntil([&] { return applicationsWaiting() > before || !run->running(); }));
        EXPECT_EQ(applicationsWaiting(), before + 1) << run->wait().err;
        (void)run->traceText();  // claimed before another start can trace
        return run;
    }
    // Lets every waiting application's main return.
    void releaseApplications() { writeBytes(release_, ""); }

    fs::path release_, home_;

    // The notification file that the first instance's application was told of, as a
    // Windows and a Unix path.
    std::string commFile() { return optionValue(jvmTranscript(home_), "kestro.processCommFile"); }
    fs::path commFileUnix() { return unixPath(commFile()); }
    std::string semaphoreName() { return optionValue(jvmTranscript(home_), "kestro.semaphoreName"); }

    // Acts as the first instance's application: waits until a whole line has arrived,
    // takes it and deletes the file.
    std::string take() {
        fs::path file = commFileUnix();
        std::string text;
        bool arrived = waitUntil([&] {
            text = readBytes(file);
            return text.size() >= 2 && text.ends_with(std::string("\n\0", 2));
        });
        EXPECT_TRUE(arrived) << "no notification file " << file;
        fs::remove(file);
        return text;
    }

    // The trace lines of a second start from "single instance mode" on, without the
    // temporary root's lookup.
    static Texts handOverLines(const RunResult& r) {
        Texts lines = r.traceLines(), out;
        int at = r.traceIndex("single instance mode");
        for (size_t i = size_t(at < 0 ? lines.size() : size_t(at)); i < lines.size(); ++i)
            if (!lines[i].starts_with("GetTempPath returned ") && !lines[i].starts_with("make dir returned "))
                out.push_back(lines[i]);
        return out;
    }
    Texts expectedHandOver(const std::string& secondLine) {
        return {"single instance mode",
                secondLine,
                "other pid " + processIdOf(commFile()),
                "notification via " + commFile(),
                "waiting for notification semaphore",
                "wait returned 0",
                "waiting for file deletion",
                "exiting"};
    }
    // The semaphore line as a second start traces it: the handle value varies.
    static std::string semaphoreLine(const RunResult& r) {
        return "semaphore name " + r.tracedAfter("semaphore name ").value_or("(none)");
    }
};

// A second start hands over its arguments and ends once they are taken; one without
// arguments sends only the line feed; a path in other letter case is the same instance.
// (The text cut from the command line is the native tests'.)
TEST_F(SingleInstance, SecondStartsHandTheirArgumentsToTheFirstAndEnd) {
    fs::path exe = buildLauncher("app.exe");
    auto first = startApplication(exe);
    std::string base = instanceName(exe);
    EXPECT_EQ(semaphoreName(), base);

    auto second = start(exe, {.arguments = "-x y"});
    EXPECT_EQ(take(), utf16("-x y\n"));
    RunResult r = second->wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(semaphoreLine(r).starts_with("semaphore name " + base + ", code 183, value ")) << r.trace;
    EXPECT_EQ(handOverLines(r), expectedHandOver(semaphoreLine(r))) << r.trace;

    // The directory and the name in capitals: the same semaphore, the same registry value.
    std::string upper = windowsPath(exe);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    auto bare = start(exe, {.commandLine = "\"" + upper + "\""});
    EXPECT_EQ(take(), utf16("\n"));
    RunResult b = bare->wait();
    EXPECT_EQ(b.exitCode, 0);
    EXPECT_EQ(handOverLines(b), expectedHandOver(semaphoreLine(b))) << b.trace;
    EXPECT_TRUE(semaphoreLine(b).starts_with("semaphore name " + base + ", code 183")) << b.trace;

    EXPECT_TRUE(first->running());
    releaseApplications();
    RunResult f = first->wait();
    EXPECT_EQ(f.exitCode, 0);
    EXPECT_TRUE(f.tracedPrefix("semaphore name " + base + ", code 0, value ")) << f.trace;
    EXPECT_FALSE(fs::exists(commFileUnix()));
}

// The first instance ends while a second start waits for its file to be taken: nobody
// will read the file, so the second removes it, checks again and, now the first
// instance itself, starts the application with its own arguments.
TEST_F(SingleInstance, ASecondStartWhoseFirstInstanceEndsStartsTheApplication) {
    fs::path exe = buildLauncher("app.exe");
    auto first = startApplication(exe);
    std::string firstFile = commFile();
    auto second = start(exe, {.arguments = "-late"});
    ASSERT_TRUE(second->waitForTraceLine("waiting for file deletion"));
    EXPECT_EQ(readBytes(unixPath(firstFile)), utf16("-late\n"));
    releaseApplications();
    EXPECT_EQ(first->wait().exitCode, 0);
    RunResult r = second->wait();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    int again = r.traceIndex("first instance gone: checking again", r.traceIndex("waiting for file deletion"));
    ASSERT_GT(again, 0) << r.trace;
    EXPECT_TRUE(r.traceLines()[size_t(again + 1)].starts_with("semaphore name " + semaphoreName() + ", code 0,"));
    EXPECT_FALSE(r.traced("exiting"));
    EXPECT_FALSE(fs::exists(unixPath(firstFile)));
    EXPECT_EQ(jvmTranscript(home_).values("argument ").back(), "-late");
}

// Windows refuses semaphore names of 260 characters or more. At paths of 240, 250 and
// 258 characters (the notification semaphore's name fits, then it does not, then the
// instance semaphore's does not either) a second start hands over in its turn, and
// numbered instances count up, in the session's namespace or (key 158) the machine's.
// (How names are shortened is the native tests'; Wine starts no program at a path of
// 260 characters or more.)
TEST_F(SingleInstance, ExecutablesAtLongPathsHandOverAndCount) {
    for (auto [length, global] : {std::pair{240u, false}, {250u, true}, {258u, false}}) {
        // The launchers one.exe and two.exe in folders that make their paths this long.
        fs::path folder = dir_ / std::to_string(length);
        for (size_t rest = length - windowsPath(folder / "one.exe").size(); rest > 0;) {
            size_t n = rest > 201 ? 100 : rest - 1;
            folder /= std::string(n, 'd');
            rest -= n + 1;
        }
        fs::create_directories(folder);
        std::string name = fs::relative(folder, dir_).string(), n = std::to_string(length);
        release_ = dir_ / ("release" + n);
        home_ = useRuntime("jre" + n, {.mainWaitFor = windowsPath(release_)});
        set(key::SearchList, "A" + windowsPath(home_));
        set(key::GlobalInstance, global ? "1" : "0");
        fs::path one = buildLauncher(name + "/one.exe");
        set(key::SingleInstance, "0");
        fs::path two = buildLauncher(name + "/two.exe");
        set(key::SingleInstance, "1");
        ASSERT_EQ(normalised(one).size(), length);

        auto first = startApplication(one);
        auto second = start(one, {.arguments = "-x"});
        EXPECT_EQ(take(), utf16("-x\n"));
        RunResult r = second->wait();
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(semaphoreLine(r).starts_with("semaphore name " + semaphoreName() + ", code 183,")) << r.trace;
        EXPECT_EQ(handOverLines(r), expectedHandOver(semaphoreLine(r))) << r.trace;
        EXPECT_EQ(semaphoreName() == instanceName(one, global), length < 254) << semaphoreName();

        auto a = startApplication(two), b = startApplication(two);
        auto t = jvmTranscript(home_);
        Texts names = {optionValue(t, "kestro.semaphoreName", 1), optionValue(t, "kestro.semaphoreName", 2)};
        EXPECT_TRUE(length >= 254 || names[0] == instanceName(two, global) + "0") << names[0];
        EXPECT_EQ(names[1], names[0].substr(0, names[0].size() - 1) + "1");
        releaseApplications();
        EXPECT_EQ(first->wait().exitCode, 0);
        for (size_t i = 0; i < 2; ++i) {
            RunResult numbered = (i == 0 ? a : b)->wait();
            EXPECT_EQ(numbered.exitCode, 0);
            EXPECT_TRUE(numbered.tracedPrefix("semaphore name " + names[i] + ", code 0,")) << numbered.trace;
        }
    }
}

// The slow cases, in one run. A first instance that never takes the arguments: the second
// start gives up after its ten seconds of polls and leaves the file; the next one waits
// ten seconds for that file and then fails with internal error 21, handing its turn on
// before the report, so that a start waiting behind it goes on at once.
TEST_F(SingleInstance, AFirstInstanceThatNeverTakesTheArgumentsCostsTimeNotTheTurn) {
    fs::path exe = buildLauncher("app.exe");
    auto first = startApplication(exe);
    auto began = std::chrono::steady_clock::now();
    RunResult left = run(exe, {.arguments = "-left"});
    auto took = std::chrono::steady_clock::now() - began;
    EXPECT_EQ(left.exitCode, 0) << left.err;
    EXPECT_GE(took, std::chrono::seconds(9));  // 200 polls of at least 50 ms
    EXPECT_EQ(readBytes(commFileUnix()), utf16("-left\n"));
    int waited = left.traceIndex("waiting for file deletion");
    EXPECT_EQ(left.traceIndex(commFile() + " still there after 10000 ms"), waited + 1) << left.trace;
    EXPECT_EQ(left.traceIndex("exiting"), waited + 2) << left.trace;

    auto refused = start(exe, {.arguments = "-refused"});
    ASSERT_TRUE(refused->waitForTraceLine("wait returned 0"));
    auto behind = start(exe, {.arguments = "-behind"});
    ASSERT_TRUE(behind->waitForTraceLine("waiting for notification semaphore"));
    RunResult r = refused->wait();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, r.reported(message(1009, "21")));
    EXPECT_TRUE(r.traced("CreateFile failed 80")) << r.trace;  // ERROR_FILE_EXISTS
    EXPECT_FALSE(r.traced("exiting"));
    EXPECT_EQ(readBytes(commFileUnix()), utf16("-left\n"));

    // The turn came free with the report; the application takes the old arguments late.
    ASSERT_TRUE(behind->waitForTraceLine("wait returned 0"));
    EXPECT_EQ(take(), utf16("-left\n"));
    EXPECT_EQ(take(), utf16("-behind\n"));
    RunResult b = behind->wait();
    EXPECT_EQ(b.exitCode, 0) << b.err;
    EXPECT_FALSE(b.tracedPrefix("gave up waiting")) << b.trace;
    releaseApplications();
    EXPECT_EQ(first->wait().exitCode, 0);
}

// A second start killed while it holds its turn (here a stand-in that takes the
// notification semaphore and is then ended) never hands the turn back. A start that
// was already waiting, and so keeps the semaphore in existence, gives up after thirty
// seconds without a hand-over and goes on without its turn; its release at the end restores the lost
// turn, so that a start that queued behind it meanwhile goes on as soon as it is done.
TEST_F(SingleInstance, AKilledSecondStartDoesNotStopLaterOnes) {
    fs::path exe = buildLauncher("app.exe");
    auto first = startApplication(exe);
    fs::path holder = fixturesDir() / "turn_holder.exe", ready = dir_ / "holding";
    auto holding = start(holder, {.commandLine = "turn_holder \"" + semaphoreName() + "_notification\" \"" +
                                                  windowsPath(ready) + "\"",
                                  .application = holder});
    ASSERT_TRUE(waitUntil([&] { return fs::exists(ready) || !holding->running(); }));
    ASSERT_TRUE(fs::exists(ready)) << holding->wait().exitCode;

    auto waiting = start(exe, {.arguments = "-waiting"});
    ASSERT_TRUE(waiting->waitForTraceLine("waiting for notification semaphore"));
    EXPECT_EQ(holding->stop().exitCode, 137);
    ASSERT_TRUE(waiting->waitForTraceLine("waiting for file deletion"));
    auto behind = start(exe, {.arguments = "-behind"});
    ASSERT_TRUE(behind->waitForTraceLine("waiting for notification semaphore"));

    EXPECT_EQ(take(), utf16("-waiting\n"));
    RunResult w = waiting->wait();
    EXPECT_EQ(w.exitCode, 0) << w.err;
    int gaveUp = w.traceIndex("gave up waiting for notification semaphore: no hand-over for 30000 ms");
    EXPECT_GE(gaveUp, 0) << w.trace;
    EXPECT_EQ(w.traceIndex("wait returned 258"), gaveUp + 1);
    EXPECT_FALSE(w.tracedPrefix("release semaphore failed"));

    EXPECT_EQ(take(), utf16("-behind\n"));
    RunResult b = behind->wait();
    EXPECT_EQ(b.exitCode, 0) << b.err;
    EXPECT_TRUE(b.traced("wait returned 0")) << b.trace;
    releaseApplications();
    EXPECT_EQ(first->wait().exitCode, 0);
}

// A full disk under the temporary root: a tiny tmpfs mounted there, filled once the
// first instance runs. The notification file can still be created, but not written.
using FullDiskHandOver = OnSmallDisk<SingleInstance>;

// The second start fails with internal error 22 and removes the file it could not
// fill: the application never reads a part of a line. Once there is room again, the
// next hand-over goes through.
TEST_F(FullDiskHandOver, AFileThatCannotBeWrittenIsRemoved) {
    fs::path exe = buildLauncher("app.exe");
    auto first = startApplication(exe);
    // The first instance's version probe file goes once Wine has closed the probe's
    // handle to it; space it frees after the disk is full would let the hand-over write.
    ASSERT_TRUE(waitUntil([&] { return uniqueFiles(tmp_).empty(); }, 10000));
    writeBytes(tmp_ / "filler", std::string(256 * 1024, 'x'));  // more than the disk holds: it fills up
    RunResult r = run(exe, {.arguments = "-x", .trace = false});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, message(1009, "22") + "\n");
    EXPECT_FALSE(fs::exists(commFileUnix()));

    fs::remove(tmp_ / "filler");
    auto next = start(exe, {.arguments = "-y"});
    EXPECT_EQ(take(), utf16("-y\n"));
    RunResult n = next->wait();
    EXPECT_EQ(n.exitCode, 0) << n.err;
    EXPECT_TRUE(n.traced("wait returned 0")) << n.trace;
    releaseApplications();
    EXPECT_EQ(first->wait().exitCode, 0);
}

// Window activation needs a display, and a prefix of its own with a desktop on it.
class InstanceWindows : public SingleInstance {
protected:
    void SetUp() override {
        SingleInstance::SetUp();
        if (!display_.ok() || display_.winePrefix().empty()) GTEST_SKIP() << "no virtual display (Xvfb, xdotool)";
        onDisplay_.unixEnv = {{"DISPLAY", display_.name()}, {"WINEPREFIX", display_.winePrefix()}};
    }
    bool windowState(const std::string& state) {
        return waitUntil([&] { return jvmTranscript(home_).has("window " + state); });
    }
    VirtualDisplay display_{"wineprefix-windows"};
    RunOptions onDisplay_;
};

// The first instance's application shows a minimised window, not the active one; a
// second start restores it and makes it the foreground window, as the window itself
// reports. A window whose thread hangs never answers: the second start does not wait
// for it, and hands over all the same.
TEST_F(InstanceWindows, ASecondStartRaisesTheFirstInstancesWindowWithoutWaitingForIt) {
    for (bool stuck : {false, true}) {
        std::string n = stuck ? "stuck" : "live";
        release_ = dir_ / ("release-" + n);
        home_ = useRuntime(n + "-jre",
                           {.mainWaitFor = windowsPath(release_), .mainWindow = true, .windowStuck = stuck});
        fs::path exe = buildLauncher(n + ".exe");
        auto first = startApplication(exe, onDisplay_);
        ASSERT_TRUE(windowState("iconic 1 foreground 0")) << jvmTranscript(home_).text();

        RunOptions second = onDisplay_;
        second.arguments = "-x";
        auto handing = start(exe, second);
        EXPECT_EQ(take(), utf16("-x\n")) << n;
        RunResult r = handing->wait();
        EXPECT_EQ(r.exitCode, 0) << r.err;
        Texts lines = r.traceLines();
        int found = r.traceIndex("other pid " + processIdOf(commFile())) + 1;
        ASSERT_TRUE(found > 0 && lines.size() > size_t(found + 5)) << r.trace;
        EXPECT_TRUE(lines[size_t(found)].starts_with("found window ")) << r.trace;
        EXPECT_EQ(Texts(lines.begin() + found + 1, lines.begin() + found + 5),
                  (Texts{"restore", "foreground", "popup", "done"}));
        if (!stuck) {
            EXPECT_TRUE(windowState("iconic 0 foreground 1")) << jvmTranscript(home_).text();
        }
        releaseApplications();
        EXPECT_EQ(first->wait().exitCode, 0);
    }
}

}  // namespace
}  // namespace kestro::e2e
