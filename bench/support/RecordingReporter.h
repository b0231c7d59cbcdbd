// A console reporter that also keeps the fastest processor time per iteration of each benchmark,
// so a benchmark program can print the ratios it measured side by side in one run. Processor
// time rather than wall time: the machines are shared, and time spent in other processes is not
// the code's.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace benchsupport {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                const double nanoseconds =
                    run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations);
                const std::string name = run.run_name.str();
                const auto known = fastest.find(name);
                if (known == fastest.end() || nanoseconds < known->second) {
                    fastest[name] = nanoseconds;
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Nanoseconds per iteration, or a negative value when the benchmark did not run.
    double nanoseconds(const std::string& name) const {
        const auto found = fastest.find(name);
        return found == fastest.end() ? -1.0 : found->second;
    }

    // Prints "what @where: R x (target T)" with R = slower / faster.
    void printRatio(const char* what, const std::string& slower, const std::string& faster,
                    const char* where, const char* target) const {
        const double numerator = nanoseconds(slower);
        const double denominator = nanoseconds(faster);
        if (numerator <= 0.0 || denominator <= 0.0) {
            std::printf("%s @%s: not measured (target %s)\n", what, where, target);
            return;
        }
        std::printf("%s @%s: %.3fx (target %s)\n", what, where, numerator / denominator, target);
    }

private:
    std::map<std::string, double> fastest;
};

// Runs the benchmarks the command line selects into the reporter and leaves a blank line for the
// ratios that follow; false when the command line holds arguments the library does not know.
inline bool runRecorded(int* argc, char** argv, RecordingReporter& reporter) {
    benchmark::Initialize(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(*argc, argv)) {
        return false;
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    return true;
}

} // namespace benchsupport
