// A one-line progress bar on stderr for long jobs, drawn only when stderr is a terminal.
#pragma once

#include <cstdint>

class ProgressBar {
public:
    // Jobs of this many frames or fewer finish too quickly to need a bar.
    static constexpr std::int64_t minimumFrames = 1 << 20;

    explicit ProgressBar(std::int64_t totalFrames);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void advance(std::int64_t frames);
    void finish();

private:
    void draw(int percent);

    std::int64_t total;
    std::int64_t done = 0;
    int drawnPercent = -1;
    bool visible;
};
