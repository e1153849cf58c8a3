#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "instance/hand_over.h"

namespace kestro {
namespace {

TEST(HandOverText, ArgumentsFollowTheProgramNameAsTyped) {
    struct Case { const char16_t* commandLine; const char16_t* text; };
    for (const Case& c : std::initializer_list<Case>{
             {u"\"C:\\Program Files\\app.exe\" -x y", u"-x y\n"},
             {u"app.exe   -x  \"a b\" 'c'  ", u"-x  \"a b\" 'c'  \n"},
             {u"app.exe \xD55C\xAE00 \xD83D\xDE00", u"\xD55C\xAE00 \xD83D\xDE00\n"},
             // The quoted name runs to its closing quote, then to the next blank; only the space is one.
             {u"\"a b\"c d e", u"d e\n"}, {u"\"app.exe\"\t-x y", u"y\n"},
             // Without arguments only the line feed is left.
             {u"app.exe", u"\n"}, {u"\"C:\\app.exe\"", u"\n"}, {u"\"C:\\app.exe\"   ", u"\n"},
             {u"\"C:\\no closing quote.exe -x", u"\n"}, {u"", u"\n"},
         })
        EXPECT_EQ(handOverText(c.commandLine), c.text) << ::testing::PrintToString(c.commandLine);
    // The file holds UTF-16 little-endian without a mark.
    EXPECT_EQ(utf16LittleEndianBytes(u"-x\n\x20AC"), std::string("-\0x\0\n\0\xAC\x20", 8));
}

// A scripted world: whether the notification file exists and which process id is
// recorded after so many milliseconds slept or waited; the first instance, process 42,
// answers "alive" `aliveAnswers` times (-1: always). Every question and sleep is counted.
struct World {
    std::function<bool(uint32_t)> fileAt = [](uint32_t) { return true; };
    std::function<uint32_t(uint32_t)> pidAt = [](uint32_t) { return 42u; };
    int aliveAnswers = -1;
    uint32_t elapsed = 0;
    int questions = 0;
    std::vector<uint32_t> sleeps;

    static World& of(const void* context) { return *static_cast<World*>(const_cast<void*>(context)); }
    HandOverProbes probes() {
        return {this, [](const void* c) { return of(c).fileAt(of(c).elapsed); },
                [](const void* c) { return of(c).questions++ < of(c).aliveAnswers || of(c).aliveAnswers < 0; },
                [](const void* c, uint32_t ms) {
                    of(c).sleeps.push_back(ms);
                    of(c).elapsed += ms;
                },
                [](const void* c) { return of(c).pidAt(of(c).elapsed); },
                [](const void*, uint32_t pid) { return pid == 42; }};
    }
};

// A start that comes between the first instance's semaphore and its record of its id
// reads 0 or a previous run's id (7, ended or another program's now): it waits for the
// record to name the first instance, never hands over to 7, and gives up after two
// seconds (a record that cannot be written) or when the first instance is gone.
TEST(PidWait, WaitsForTheRecordToNameAProcessOfThisExecutable) {
    struct Case { World world; PidWaitEnd end; uint32_t pid; size_t sleeps; };
    for (Case c : std::initializer_list<Case>{
             {{}, PidWaitEnd::Found, 42, 0},
             {{.pidAt = [](uint32_t ms) { return ms < 150 ? 0u : 42u; }}, PidWaitEnd::Found, 42, 3},
             {{.pidAt = [](uint32_t ms) { return ms < 100 ? 7u : 42u; }}, PidWaitEnd::Found, 42, 2},
             {{.pidAt = [](uint32_t) { return 7u; }}, PidWaitEnd::NotFound, 7, 39},
             {{.pidAt = [](uint32_t) { return 0u; }, .aliveAnswers = 1}, PidWaitEnd::FirstInstanceGone, 0, 5},
         }) {
        uint32_t pid = 1;
        EXPECT_EQ(waitForInstancePid(c.world.probes(), pid), c.end) << c.sleeps;
        EXPECT_EQ(pid, c.pid) << c.sleeps;
        EXPECT_EQ(c.world.sleeps, std::vector<uint32_t>(c.sleeps, 50));
    }
}

TEST(FileWait, PollsTwoHundredTimesAskingForTheFirstInstanceEveryFifth) {
    struct Case { World world; FileWaitEnd end; size_t sleeps; int questions; };
    for (Case c : std::initializer_list<Case>{
             {{}, FileWaitEnd::TimedOut, 200, 40},  // asked at polls 0, 5, ..., 195
             {{.fileAt = [](uint32_t) { return false; }}, FileWaitEnd::FileGone, 0, 0},
             {{.fileAt = [](uint32_t ms) { return ms < 350; }}, FileWaitEnd::FileGone, 7, 2},
             // Alive at polls 0 and 5, gone when asked at poll 10: ten sleeps were made.
             {{.aliveAnswers = 2}, FileWaitEnd::FirstInstanceGone, 10, 3},
         }) {
        EXPECT_EQ(waitWhileFileExists(c.world.probes()), c.end) << c.sleeps;
        EXPECT_EQ(c.world.sleeps, std::vector<uint32_t>(c.sleeps, 50));
        EXPECT_EQ(c.world.questions, c.questions) << c.sleeps;
    }
}

// The notification semaphore is waited for in slices of 250 ms. A holder that was killed
// never releases it: the wait gives up after thirty seconds without a sign of a
// hand-over while the first instance runs, or at once when it is gone. Starts that hand
// over one after the other make the file come and go, which keeps a start queued behind
// them waiting, however long the queue.
TEST(TurnWait, EndsWhenTheTurnComesOrIsLost) {
    struct Case { World world; uint32_t resultAtMs; SliceResult result; TurnWaitEnd end; uint32_t waited; };
    const SliceResult never = SliceResult::TimedOut;
    for (Case c : std::initializer_list<Case>{
             {{}, 750, SliceResult::Obtained, TurnWaitEnd::Obtained, 750},
             {{}, 250, SliceResult::Failed, TurnWaitEnd::Failed, 250},
             {{.fileAt = [](uint32_t) { return false; }}, 0, never, TurnWaitEnd::GaveUp, 30000},
             // The file is there from 20 s to 40 s and from 60 s to 80 s, then quiet.
             {{.fileAt = [](uint32_t ms) { return ms < 80000 && ms / 20000 % 2 == 1; }}, 0, never,
              TurnWaitEnd::GaveUp, 110000},
             {{.aliveAnswers = 3}, 0, never, TurnWaitEnd::FirstInstanceGone, 1000},
         }) {
        World& w = c.world;
        auto slice = [&](uint32_t ms) {
            w.elapsed += ms;
            if (w.elapsed > 1000000) return SliceResult::Failed;  // a wait without end fails the row
            return w.elapsed == c.resultAtMs ? c.result : never;
        };
        EXPECT_EQ(waitForTurn(slice, w.probes()), c.end) << c.waited;
        EXPECT_EQ(w.elapsed, c.waited);
        EXPECT_TRUE(w.sleeps.empty());
    }
}

}  // namespace
}  // namespace kestro
