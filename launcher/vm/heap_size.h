// Heap sizes as shares of the machine's physical memory (keys 10200 to 10202), for
// applications that should grow with the machine rather than with a fixed -Xmx.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

struct HeapShares {
    int32_t maxPercent = 0;      // 1 to 100; anything else asks for no -Xmx
    int32_t initialPercent = 0;  // likewise for -Xms
    int32_t limitMb = 0;         // above 0: neither size exceeds it
};

// "-Xmx<N>m" and "-Xms<N>m", in that order, for the shares that are set: N is the share
// of `physicalBytes` in whole megabytes, at most the limit, and at least 1. The initial
// size never exceeds the maximum computed beside it, which the VM would refuse. Traces
// what it computed. They go before the configured options, so that an explicit -Xmx or
// -Xms there or in a vmoptions file wins.
std::vector<std::string> heapOptions(uint64_t physicalBytes, const HeapShares& shares);

}  // namespace kestro
