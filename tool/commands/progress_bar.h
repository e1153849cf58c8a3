// A progress bar on standard error for builds that copy large included files.
#pragma once

#include <cstdint>

namespace kestro::tool {

class ProgressBar {
public:
    // `total` is the included files' data; shown only when standard error is a terminal
    // and there is enough to copy that the wait is noticeable.
    explicit ProgressBar(uint64_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // `done` counts data bytes copied (the writer's own total also counts the records'
    // size fields, so it is not used).
    void update(uint64_t done);

    static constexpr uint64_t kThreshold = 8ull << 20;

private:
    uint64_t total_;
    bool shown_;
    int lastPercent_ = -1;
};

}  // namespace kestro::tool
