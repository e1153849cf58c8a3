#include "tool/commands/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace kestro::tool {

ProgressBar::ProgressBar(uint64_t total) : total_(total), shown_(total > kThreshold && ::isatty(STDERR_FILENO)) {}

ProgressBar::~ProgressBar() {
    if (shown_ && lastPercent_ >= 0) std::fputc('\n', stderr);
}

void ProgressBar::update(uint64_t done) {
    if (!shown_) return;
    done = std::min(done, total_);
    int percent = int(done * 100 / total_);
    if (percent == lastPercent_) return;  // redraw only when the figure changes
    lastPercent_ = percent;
    constexpr int kWidth = 40;
    std::string bar(size_t(percent * kWidth / 100), '#');
    bar.resize(kWidth, ' ');
    std::fprintf(stderr, "\r[%s] %3d%%  %.1f / %.1f MB", bar.c_str(), percent, double(done) / (1 << 20),
                 double(total_) / (1 << 20));
    std::fflush(stderr);
}

}  // namespace kestro::tool
