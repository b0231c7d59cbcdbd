#include "host/RequestHandler.h"

#include <atomic>
#include <cstdio>

namespace {

constexpr std::int32_t requestAutomation = 0;
constexpr std::int32_t requestVersion = 1;

std::atomic<bool> verbose{false};
std::atomic<std::int64_t> automationCount{0};

} // namespace

namespace RequestHandler {

// Plug-ins may call this from any thread and must never see an exception, so it only counts and
// prints.
HostValue BRISOLEN_CALL answerRequest(HostRecord* record, std::int32_t opcode, std::int32_t index,
                                      HostValue value, void*, float opt) {
    if (opcode == requestAutomation) {
        automationCount.fetch_add(1, std::memory_order_relaxed);
    }
    const HostValue answer = opcode == requestVersion ? hostVersion : 0;
    if (verbose.load(std::memory_order_relaxed)) {
        std::fprintf(stderr,
                     "brisolen-host: request %d from record %p: index %d, value %lld, opt %g "
                     "-> %lld\n",
                     static_cast<int>(opcode), static_cast<void*>(record), static_cast<int>(index),
                     static_cast<long long>(value), static_cast<double>(opt),
                     static_cast<long long>(answer));
    }
    return answer;
}

void setVerbose(bool on) {
    verbose.store(on, std::memory_order_relaxed);
}

std::int64_t automationReports() {
    return automationCount.load(std::memory_order_relaxed);
}

} // namespace RequestHandler
