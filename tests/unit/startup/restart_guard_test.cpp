#include <gtest/gtest.h>

#include "startup/restart_guard.h"

namespace kestro {
namespace {

TEST(RestartGuard, OnlyTheConfiguredCodesRestart) {
    struct Case {
        std::string stored;
        int32_t code;
        bool restart;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"42", 42, true},
             {"1;42;7", 7, true},
             {"42", 4, false},
             {"", 0, false},  // nothing configured: not even a normal end
             {"0", 0, true},
             {"-1073741819", -1073741819, true},
         })
        EXPECT_EQ(isRestartCode(c.stored, c.code), c.restart) << c.stored << " " << c.code;
}

// At most five restarts within a minute: the sixth request within it is refused.
TEST(RestartGuard, FiveRestartsWithinAMinuteAtMost) {
    struct Case {
        std::string history;
        int64_t now;
        size_t recent;  // restarts that count against the limit
    };
    for (const Case& c : std::initializer_list<Case>{
             {"", 1000, 0},
             {"1000,1010,1020,1030", 1040, 4},
             {"1000,1010,1020,1030,1040", 1050, 5},       // the limit: no sixth
             {"1000,1010,1020,1030,1040", 1060, 4},       // the first is a minute old
             {"940,1000", 1000, 1},                       // exactly 60 s ago no longer counts
             {"2000", 1000, 1},                           // a clock set back still counts
             {"x,,12a,1000", 1000, 1},                    // anything else is passed over
             {"99999999999999999999,1000", 1000, 1},
         })
        EXPECT_EQ(recentRestarts(c.history, c.now).size(), c.recent) << c.history;
    EXPECT_EQ(nextRestartHistory(recentRestarts("900,1000,1010", 1020), 1020), "1000,1010,1020");
    EXPECT_EQ(nextRestartHistory({}, 1020), "1020");
}

}  // namespace
}  // namespace kestro
