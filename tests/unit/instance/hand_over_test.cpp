#include <gtest/gtest.h>

#include <vector>

#include "instance/hand_over.h"

namespace kestro {
namespace {

TEST(HandOverText, ArgumentsFollowTheProgramNameAsTyped) {
    EXPECT_EQ(handOverText(u"\"C:\\Program Files\\app.exe\" -x y"), u"-x y\n");
    EXPECT_EQ(handOverText(u"app.exe   -x  \"a b\" 'c'  "), u"-x  \"a b\" 'c'  \n");
    EXPECT_EQ(handOverText(u"app.exe \xD55C\xAE00 \xD83D\xDE00"), u"\xD55C\xAE00 \xD83D\xDE00\n");
    // The quoted name runs to its closing quote, then to the next blank.
    EXPECT_EQ(handOverText(u"\"a b\"c d e"), u"d e\n");
    EXPECT_EQ(handOverText(u"\"app.exe\"\t-x y"), u"y\n");  // only the space is a blank
}

TEST(HandOverText, NoArgumentsLeaveOnlyTheLineFeed) {
    EXPECT_EQ(handOverText(u"app.exe"), u"\n");
    EXPECT_EQ(handOverText(u"\"C:\\app.exe\""), u"\n");
    EXPECT_EQ(handOverText(u"\"C:\\app.exe\"   "), u"\n");
    EXPECT_EQ(handOverText(u"\"C:\\no closing quote.exe -x"), u"\n");
    EXPECT_EQ(handOverText(u""), u"\n");
}

TEST(HandOverText, FileBytesAreLittleEndianWithoutMark) {
    EXPECT_EQ(utf16LittleEndianBytes(u"-x\n"), std::string("-\0x\0\n\0", 6));
    EXPECT_EQ(utf16LittleEndianBytes(u"\x20AC"), "\xAC\x20");
    EXPECT_EQ(utf16LittleEndianBytes(u""), "");
}

// A scripted world: the file disappears at a given poll, the first instance at a given
// liveness question; every call is counted.
struct World {
    int fileGoneAtCheck = -1;  // the how-manieth existence check (from 0) that finds it gone
    int aliveAnswers = -1;     // how many liveness questions answer true; -1: all
    int checks = 0, questions = 0;
    std::vector<uint32_t> sleeps;

    HandOverProbes probes() {
        return {[this] {
                    int check = checks++;
                    return fileGoneAtCheck < 0 || check < fileGoneAtCheck;
                },
                [this] { return aliveAnswers < 0 || questions++ < aliveAnswers; },
                [this](uint32_t ms) { sleeps.push_back(ms); }};
    }
};

TEST(FileWait, PollsTwoHundredTimesAskingForTheFirstInstanceEveryFifth) {
    World w;
    int asked = 0;
    HandOverProbes p = w.probes();
    p.firstInstanceAlive = [&] { return ++asked > 0; };
    EXPECT_EQ(waitWhileFileExists(p), FileWaitEnd::TimedOut);
    EXPECT_EQ(w.checks, 200);
    EXPECT_EQ(asked, 40);  // polls 0, 5, ..., 195
    EXPECT_EQ(w.sleeps, std::vector<uint32_t>(200, 50));
}

TEST(FileWait, EndsAsSoonAsTheFileIsGoneOrTheFirstInstanceIs) {
    World gone{.fileGoneAtCheck = 0};
    EXPECT_EQ(waitWhileFileExists(gone.probes()), FileWaitEnd::FileGone);
    EXPECT_TRUE(gone.sleeps.empty());

    World later{.fileGoneAtCheck = 7};
    EXPECT_EQ(waitWhileFileExists(later.probes()), FileWaitEnd::FileGone);
    EXPECT_EQ(later.sleeps.size(), 7u);

    // Alive at polls 0 and 5, gone when asked at poll 10: ten sleeps were made.
    World ended{.aliveAnswers = 2};
    EXPECT_EQ(waitWhileFileExists(ended.probes()), FileWaitEnd::FirstInstanceGone);
    EXPECT_EQ(ended.questions, 3);
    EXPECT_EQ(ended.sleeps.size(), 10u);
}

TEST(TurnWait, TakesTheTurnWhenItComes) {
    std::vector<uint32_t> slices;
    auto third = [&](uint32_t ms) {
        slices.push_back(ms);
        return slices.size() == 3 ? SliceResult::Obtained : SliceResult::TimedOut;
    };
    World w;
    EXPECT_EQ(waitForTurn(third, w.probes()), TurnWaitEnd::Obtained);
    EXPECT_EQ(slices, std::vector<uint32_t>(3, 250));
    EXPECT_EQ(w.questions, 0);
    EXPECT_EQ(waitForTurn([](uint32_t) { return SliceResult::Failed; }, w.probes()), TurnWaitEnd::Failed);
}

// A holder that was killed never releases the semaphore: the wait ends after thirty
// seconds without a sign of a hand-over while the first instance runs, or at once when
// it is gone.
TEST(TurnWait, ALostTurnIsGivenUpInBoundedTime) {
    uint32_t waited = 0;
    auto never = [&](uint32_t ms) {
        waited += ms;
        return SliceResult::TimedOut;
    };
    int asked = 0;
    HandOverProbes quiet{[] { return false; }, [&] { return ++asked > 0; }, [](uint32_t) { FAIL(); }};
    EXPECT_EQ(waitForTurn(never, quiet), TurnWaitEnd::GaveUp);
    EXPECT_EQ(waited, kTurnGiveUpMs);
    EXPECT_EQ(asked, int(kTurnGiveUpMs / kTurnSliceMs));
    EXPECT_GE(kTurnGiveUpMs, 2 * kFilePolls * kFilePollMs + 5000);  // past two whole file waits

    waited = 0;
    World ended{.aliveAnswers = 3};
    EXPECT_EQ(waitForTurn(never, ended.probes()), TurnWaitEnd::FirstInstanceGone);
    EXPECT_EQ(waited, 4 * kTurnSliceMs);
}

// Starts that hand over one after the other make the file come and go: a start queued
// behind them keeps waiting, however long the queue, and gives up only once it has
// been quiet for the whole time.
TEST(TurnWait, HandOversOfOthersKeepTheWaitGoing) {
    uint32_t waited = 0;
    auto never = [&](uint32_t ms) {
        waited += ms;
        return SliceResult::TimedOut;
    };
    // The file is there from 20 s to 40 s and from 60 s to 80 s: 20 s without a change
    // each time, and quiet after 80 s.
    auto fileAt = [](uint32_t ms) { return ms < 80000 && ms / 20000 % 2 == 1; };
    HandOverProbes queue{[&] { return fileAt(waited); }, [] { return true; }, [](uint32_t) {}};
    EXPECT_EQ(waitForTurn(never, queue), TurnWaitEnd::GaveUp);
    EXPECT_EQ(waited, 80000 + kTurnGiveUpMs);
}

}  // namespace
}  // namespace kestro
