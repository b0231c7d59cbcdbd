// The pieces every validation check is made of: what a check receives, how it reports a failure
// or a skip, and the list each theme contributes to the battery.
#pragma once

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

class PluginLibrary;

namespace validation {

struct CheckContext {
    const PluginLibrary& library;
    std::mt19937_64& random;
};

// Thrown by a check that found a fault in the plug-in.
class CheckFailure : public std::runtime_error {
public:
    explicit CheckFailure(const std::string& reason) : std::runtime_error(reason) {}
};

// Thrown by a check that cannot run here; it counts neither as passed nor as failed.
class CheckSkipped : public std::runtime_error {
public:
    explicit CheckSkipped(const std::string& reason) : std::runtime_error(reason) {}
};

inline void require(bool condition, const std::string& reason) {
    if (!condition) {
        throw CheckFailure(reason);
    }
}

struct Check {
    const char* name;
    void (*run)(CheckContext& context);
};

std::vector<Check> lifecycleChecks();
std::vector<Check> textChecks();
std::vector<Check> processingChecks();
std::vector<Check> automationChecks();
std::vector<Check> realtimeChecks();
std::vector<Check> localeChecks();
std::vector<Check> editorChecks();

// Every check in the order the battery runs them.
std::vector<Check> allChecks();

} // namespace validation
