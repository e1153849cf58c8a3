#include <gtest/gtest.h>

#include "support/trace_recorder.h"
#include "vm/heap_size.h"

namespace kestro {
namespace {

using Texts = std::vector<std::string>;

constexpr uint64_t kMb = 1024 * 1024;

TEST(HeapSize, SharesOfPhysicalMemoryInMegabytes) {
    struct Case {
        uint64_t physical;
        HeapShares shares;
        Texts want;
    };
    for (const Case& c : std::initializer_list<Case>{
             {16384 * kMb, {50, 0, 0}, {"-Xmx8192m"}},
             {16384 * kMb, {0, 25, 0}, {"-Xms4096m"}},
             {16384 * kMb, {50, 10, 0}, {"-Xmx8192m", "-Xms1638m"}},           // rounded down
             {16384 * kMb + kMb - 1, {100, 0, 0}, {"-Xmx16384m"}},            // whole megabytes only
             {16384 * kMb, {75, 50, 4096}, {"-Xmx4096m", "-Xms4096m"}},      // the limit bounds both
             {16384 * kMb, {10, 50, 0}, {"-Xmx1638m", "-Xms1638m"}},         // never above the maximum
             {16384 * kMb, {0, 0, 4096}, {}},                                  // a limit alone asks nothing
             {16384 * kMb, {101, -5, 0}, {}},                                  // out of range: as unset
             {kMb / 2, {1, 1, 0}, {"-Xmx1m", "-Xms1m"}},                       // never 0
             {uint64_t(1) << 62, {100, 0, 0}, {"-Xmx2147483647m"}},           // an int's worth at most
         })
        EXPECT_EQ(heapOptions(c.physical, c.shares), c.want) << c.physical / kMb << " " << c.shares.maxPercent;
}

TEST(HeapSize, TheTraceSaysWhatWasComputed) {
    testing::clearTrace();
    (void)heapOptions(8192 * kMb, {25, 10, 0});
    EXPECT_EQ(testing::tracedLines(), Texts{"heap by physical memory of 8192 MB: -Xmx2048m -Xms819m"});
}

}  // namespace
}  // namespace kestro
