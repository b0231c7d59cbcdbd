#include "host/ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr int barWidth = 40;

} // namespace

ProgressBar::ProgressBar(std::int64_t totalFrames)
    : total(totalFrames), visible(totalFrames > minimumFrames && isatty(STDERR_FILENO) != 0) {}

ProgressBar::~ProgressBar() {
    finish();
}

void ProgressBar::advance(std::int64_t frames) {
    if (!visible) {
        return;
    }
    done += frames;
    const int percent = static_cast<int>(std::min<std::int64_t>(100, done * 100 / total));
    if (percent != drawnPercent) {
        draw(percent);
    }
}

void ProgressBar::finish() {
    if (visible) {
        // Clear the line so the summary that follows starts on a clean one.
        std::fprintf(stderr, "\r%*s\r", barWidth + 8, "");
        std::fflush(stderr);
        visible = false;
    }
}

void ProgressBar::draw(int percent) {
    drawnPercent = percent;
    const int filled = percent * barWidth / 100;
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(barWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
}
