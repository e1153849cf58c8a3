#include "vm/heap_size.h"

#include "common/text.h"
#include "diagnostics/trace.h"

namespace kestro {

namespace {

// 0 for a share outside 1 to 100.
int64_t shareMb(uint64_t physicalMb, int32_t percent, int32_t limitMb) {
    if (percent < 1 || percent > 100) return 0;
    uint64_t mb = physicalMb * uint64_t(percent) / 100;
    if (limitMb > 0 && mb > uint64_t(limitMb)) mb = uint64_t(limitMb);
    if (mb > uint64_t(INT32_MAX)) mb = INT32_MAX;
    return mb ? int64_t(mb) : 1;
}

}  // namespace

std::vector<std::string> heapOptions(uint64_t physicalBytes, const HeapShares& shares) {
    std::vector<std::string> options;
    uint64_t physicalMb = physicalBytes / (1024 * 1024);
    int64_t maxMb = shareMb(physicalMb, shares.maxPercent, shares.limitMb);
    int64_t initialMb = shareMb(physicalMb, shares.initialPercent, shares.limitMb);
    if (maxMb && initialMb > maxMb) initialMb = maxMb;
    if (maxMb) options.push_back("-Xmx" + decimal(maxMb) + "m");
    if (initialMb) options.push_back("-Xms" + decimal(initialMb) + "m");
    if (!options.empty())
        trace("heap by physical memory of %d MB: %s%s%s", int(physicalMb > INT32_MAX ? INT32_MAX : physicalMb),
              options[0].c_str(), options.size() > 1 ? " " : "", options.size() > 1 ? options[1].c_str() : "");
    return options;
}

}  // namespace kestro
