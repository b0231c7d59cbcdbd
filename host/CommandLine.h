// What the user asked for, parsed from the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct ParameterSetting {
    std::int32_t index = 0;
    float value = 0.0f;
};

struct HelpRequest {};

struct InfoOptions {
    std::string plugin;
};

struct ProcessOptions {
    std::string plugin;
    std::optional<std::string> input; // the demo signal when absent
    std::string output;
    std::vector<ParameterSetting> parameters;
    std::int32_t blockSize = 512;
    bool accumulate = false;
    std::optional<int> container;
    std::optional<int> encoding;
};

struct BenchOptions {
    std::string plugin;
    std::int32_t blockSize = 512;
    double seconds = 1.0;
};

struct EditorOptions {
    std::string plugin;
    std::string output; // the editor's picture, PNG
    std::vector<ParameterSetting> parameters;
    std::int32_t idleCalls = 10;
};

struct ValidateOptions {
    std::string plugin;
    std::optional<std::uint64_t> seed; // a fresh one when absent
    std::int32_t repeat = 1;
    std::vector<std::string> only; // check names or name prefixes; every check when empty
};

using Command = std::variant<HelpRequest, InfoOptions, ProcessOptions, BenchOptions, EditorOptions,
                             ValidateOptions>;

struct CommandLine {
    Command command;
    bool verbose = false;
};

constexpr std::int32_t maxBlockSize = 1048576;

// Throws UsageError for unknown commands, options and missing arguments, and HostError for
// option values that are out of range or not numbers.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();
