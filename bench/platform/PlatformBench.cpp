// Benchmarks of the layer against the budgets it must meet:
//   BitBlt SRCCOPY of a 250 x 420 bitmap within 2x a memcpy of the same bytes,
//   FillRect of the same area within 2x a memset,
//   DrawTextA of a short readout with a warm glyph cache under 10 microseconds,
//   a colour-keyed 14 x 12 handle draw (five memory DCs, three bitmaps, eight transfers) under
//   20 microseconds.
// The summary after the benchmark table states each ratio measured in this run, from CPU time, so
// that other load on the machine disturbs it less. With
// LAYER_BENCH_STRICT=1 in the environment a missed budget makes the program fail.
#include "LayerTestSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int windowWidth = 250;
constexpr int windowHeight = 420;
constexpr size_t windowBytes = size_t(windowWidth) * windowHeight * 4;

void memcpyWindow(benchmark::State& state) {
    std::vector<unsigned char> from(windowBytes, 1), to(windowBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), windowBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(memcpyWindow);

void bitBltWindow(benchmark::State& state) {
    layertest::MemoryCanvas from(windowWidth, windowHeight, layertest::red);
    layertest::MemoryCanvas to(windowWidth, windowHeight);
    for (auto _ : state) {
        BitBlt(to.dc, 0, 0, windowWidth, windowHeight, from.dc, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bitBltWindow);

void memsetWindow(benchmark::State& state) {
    std::vector<unsigned char> to(windowBytes);
    for (auto _ : state) {
        std::memset(to.data(), 0x7F, windowBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(memsetWindow);

void fillRectWindow(benchmark::State& state) {
    layertest::MemoryCanvas to(windowWidth, windowHeight);
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    const RECT all{0, 0, windowWidth, windowHeight};
    for (auto _ : state) {
        FillRect(to.dc, &all, brush);
        benchmark::ClobberMemory();
    }
    DeleteObject(brush);
}
BENCHMARK(fillRectWindow);

void drawTextReadout(benchmark::State& state) {
    layertest::MemoryCanvas canvas(60, 20, layertest::black);
    LOGFONTA description{};
    description.lfHeight = -11;
    description.lfWeight = FW_NORMAL;
    description.lfPitchAndFamily = FF_SWISS | VARIABLE_PITCH;
    std::strcpy(description.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ old = SelectObject(canvas.dc, font);
    SetTextColor(canvas.dc, layertest::white);
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT rect{1, 2, 60, 18};
    DrawTextA(canvas.dc, "-6.0dB", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    for (auto _ : state) {
        DrawTextA(canvas.dc, "-6.0dB", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        benchmark::ClobberMemory();
    }
    SelectObject(canvas.dc, old);
    DeleteObject(font);
}
BENCHMARK(drawTextReadout);

void colorKeyedHandle(benchmark::State& state) {
    layertest::MemoryCanvas track(16, 250, layertest::blue);
    layertest::MemoryCanvas handle(14, 12, layertest::white);
    for (int y = 2; y < 10; ++y)
        for (int x = 1; x < 13; ++x)
            SetPixel(handle.dc, x, y, RGB(90, 90, 90 + x));
    // The handle's bitmap is drawn from its own memory context inside paintKeyed.
    HBITMAP image = handle.bitmap;
    SelectObject(handle.dc, handle.previousBitmap);
    HBITMAP mask = nullptr;
    layertest::paintKeyed(track.dc, image, mask, 1, 100);
    for (auto _ : state) {
        layertest::paintKeyed(track.dc, image, mask, 1, 100);
        benchmark::ClobberMemory();
    }
    DeleteObject(mask);
    handle.previousBitmap = SelectObject(handle.dc, image);
}
BENCHMARK(colorKeyedHandle);

// Keeps each benchmark's time per iteration, in nanoseconds, for the summary.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            nanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanoseconds;
};

bool report(const char* what, double measured, double limit, const char* unit) {
    const bool within = measured <= limit;
    std::printf("%-52s %8.2f %-3s (budget %.0f %s) %s\n", what, measured, unit, limit, unit,
                within ? "within budget" : "OVER BUDGET");
    return within;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.nanoseconds;
    if (!t.count("bitBltWindow") || !t.count("fillRectWindow") || !t.count("drawTextReadout") ||
        !t.count("colorKeyedHandle")) {
        benchmark::Shutdown();
        return 0; // a filtered run: no summary
    }
    std::printf("\nSummary (ratios from this run):\n");
    bool ok = true;
    ok &= report("BitBlt SRCCOPY 250x420 / memcpy of the same bytes",
                 t["bitBltWindow"] / t["memcpyWindow"], 2.0, "x");
    ok &= report("FillRect 250x420 / memset of the same bytes",
                 t["fillRectWindow"] / t["memsetWindow"], 2.0, "x");
    ok &= report("DrawTextA short readout, warm glyph cache", t["drawTextReadout"] / 1000.0, 10.0,
                 "us");
    ok &= report("colour-keyed 14x12 handle draw", t["colorKeyedHandle"] / 1000.0, 20.0, "us");
    benchmark::Shutdown();
    const char* strict = std::getenv("LAYER_BENCH_STRICT");
    return ok || !strict || std::strcmp(strict, "1") != 0 ? 0 : 1;
}
