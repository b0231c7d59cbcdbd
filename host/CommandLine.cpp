#include "host/CommandLine.h"

#include "host/HostError.h"
#include "host/SoundFormat.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double maxBenchSeconds = 600.0;
constexpr std::int64_t maxIdleCalls = 1000;
constexpr std::int64_t maxRepeat = 1000;

// Splits the words after the command into options (with their values) and positional operands.
class ArgumentReader {
public:
    ArgumentReader(const std::vector<std::string>& words, std::size_t first)
        : arguments(words), next(first) {}

    bool atEnd() const { return next >= arguments.size(); }

    // The next word, or nothing for the "--" that ends the options; sets isOption when the word
    // is an option, and splits "--name=value".
    std::optional<std::string> take(bool& isOption) {
        std::string word = arguments[next++];
        attachedValue.reset();
        isOption = !operandsOnly && word.size() > 1 && word[0] == '-';
        if (isOption && word == "--") {
            operandsOnly = true;
            return std::nullopt;
        }
        if (isOption) {
            const auto equals = word.find('=');
            if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
                attachedValue = word.substr(equals + 1);
                word.resize(equals);
            }
        }
        return word;
    }

    std::string valueOf(const std::string& option) {
        if (attachedValue) {
            std::string value = *attachedValue;
            attachedValue.reset();
            return value;
        }
        if (atEnd()) {
            throw UsageError("option " + option + " needs a value");
        }
        return arguments[next++];
    }

    void refuseAttachedValue(const std::string& option) const {
        if (attachedValue) {
            throw UsageError("option " + option + " takes no value");
        }
    }

private:
    const std::vector<std::string>& arguments;
    std::size_t next;
    bool operandsOnly = false;
    std::optional<std::string> attachedValue;
};

std::optional<long long> wholeNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> realNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::int32_t parseBlockSize(const std::string& text) {
    const auto value = wholeNumber(text);
    if (!value || *value < 1 || *value > maxBlockSize) {
        throw HostError("--block " + text + ": the block size must be a whole number from 1 to " +
                        std::to_string(maxBlockSize));
    }
    return static_cast<std::int32_t>(*value);
}

ParameterSetting parseParameter(const std::string& text) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) {
        throw HostError("--param " + text + ": expected INDEX=VALUE, for example 0=1.0");
    }
    const std::string indexText = text.substr(0, equals);
    const std::string valueText = text.substr(equals + 1);
    const auto index = wholeNumber(indexText);
    if (!index || *index < 0 || *index > INT32_MAX) {
        throw HostError("--param " + text + ": parameter index '" + indexText +
                        "' is not a whole number of 0 or more");
    }
    const auto value = realNumber(valueText);
    if (!value) {
        throw HostError("--param " + text + ": value '" + valueText + "' is not a number");
    }
    if (*value < 0.0 || *value > 1.0) {
        throw HostError("--param " + text + ": value " + valueText +
                        " is outside the normalised range 0 to 1");
    }
    return {static_cast<std::int32_t>(*index), static_cast<float>(*value)};
}

double parseSeconds(const std::string& text) {
    const auto value = realNumber(text);
    if (!value || *value <= 0.0 || *value > maxBenchSeconds) {
        throw HostError("--seconds " + text + ": expected a number of seconds above 0 and up to " +
                        std::to_string(static_cast<int>(maxBenchSeconds)));
    }
    return *value;
}

int parseContainer(const std::string& text) {
    const auto container = containerFromName(text);
    if (!container) {
        throw HostError("--format " + text + ": expected wav, aiff or flac");
    }
    return *container;
}

int parseEncoding(const std::string& text) {
    const auto encoding = encodingFromName(text);
    if (!encoding) {
        throw HostError("--subtype " + text + ": expected pcm16, pcm24, pcm32 or float");
    }
    return *encoding;
}

[[noreturn]] void unknownOption(const std::string& option, const std::string& command) {
    throw UsageError("unknown option " + option + " for " + command);
}

// Reads the rest of the command line; onOption handles the command's own options and returns
// false for options it does not know.
template <typename OptionHandler>
std::vector<std::string> readArguments(ArgumentReader& reader, const std::string& command,
                                       bool& verbose, OptionHandler onOption) {
    std::vector<std::string> operands;
    while (!reader.atEnd()) {
        bool isOption = false;
        const auto word = reader.take(isOption);
        if (!word) {
            continue;
        }
        if (!isOption) {
            operands.push_back(*word);
        } else if (*word == "-v" || *word == "--verbose") {
            reader.refuseAttachedValue(*word);
            verbose = true;
        } else if (!onOption(*word)) {
            unknownOption(*word, command);
        }
    }
    return operands;
}

InfoOptions parseInfo(ArgumentReader& reader, bool& verbose) {
    const auto operands =
        readArguments(reader, "info", verbose, [](const std::string&) { return false; });
    if (operands.size() != 1) {
        throw UsageError("info needs exactly one argument: PLUGIN");
    }
    return InfoOptions{operands[0]};
}

ProcessOptions parseProcess(ArgumentReader& reader, bool& verbose) {
    ProcessOptions options;
    const auto operands = readArguments(reader, "process", verbose, [&](const std::string& word) {
        if (word == "--param") {
            options.parameters.push_back(parseParameter(reader.valueOf(word)));
        } else if (word == "--block") {
            options.blockSize = parseBlockSize(reader.valueOf(word));
        } else if (word == "--accumulate") {
            reader.refuseAttachedValue(word);
            options.accumulate = true;
        } else if (word == "--format") {
            options.container = parseContainer(reader.valueOf(word));
        } else if (word == "--subtype") {
            options.encoding = parseEncoding(reader.valueOf(word));
        } else {
            return false;
        }
        return true;
    });
    if (operands.size() < 2 || operands.size() > 3) {
        throw UsageError("process needs PLUGIN, an optional IN and OUT");
    }
    options.plugin = operands[0];
    if (operands.size() == 3) {
        options.input = operands[1];
    }
    options.output = operands.back();
    return options;
}

BenchOptions parseBench(ArgumentReader& reader, bool& verbose) {
    BenchOptions options;
    const auto operands = readArguments(reader, "bench", verbose, [&](const std::string& word) {
        if (word == "--block") {
            options.blockSize = parseBlockSize(reader.valueOf(word));
        } else if (word == "--seconds") {
            options.seconds = parseSeconds(reader.valueOf(word));
        } else {
            return false;
        }
        return true;
    });
    if (operands.size() != 1) {
        throw UsageError("bench needs exactly one argument: PLUGIN");
    }
    options.plugin = operands[0];
    return options;
}

std::int32_t parseIdleCalls(const std::string& text) {
    const auto value = wholeNumber(text);
    if (!value || *value < 1 || *value > maxIdleCalls) {
        throw HostError("--idle " + text + ": expected a whole number from 1 to " +
                        std::to_string(maxIdleCalls));
    }
    return static_cast<std::int32_t>(*value);
}

EditorOptions parseEditor(ArgumentReader& reader, bool& verbose) {
    EditorOptions options;
    const auto operands = readArguments(reader, "editor", verbose, [&](const std::string& word) {
        if (word == "--param") {
            options.parameters.push_back(parseParameter(reader.valueOf(word)));
        } else if (word == "--idle") {
            options.idleCalls = parseIdleCalls(reader.valueOf(word));
        } else {
            return false;
        }
        return true;
    });
    if (operands.size() != 2) {
        throw UsageError("editor needs exactly two arguments: PLUGIN and OUT.png");
    }
    options.plugin = operands[0];
    options.output = operands[1];
    return options;
}

std::uint64_t parseSeed(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || *end != '\0' || errno == ERANGE) {
        throw HostError("--seed " + text + ": expected a whole number from 0 to " +
                        std::to_string(UINT64_MAX));
    }
    return value;
}

std::int32_t parseRepeat(const std::string& text) {
    const auto value = wholeNumber(text);
    if (!value || *value < 1 || *value > maxRepeat) {
        throw HostError("--repeat " + text + ": expected a whole number from 1 to " +
                        std::to_string(maxRepeat));
    }
    return static_cast<std::int32_t>(*value);
}

ValidateOptions parseValidate(ArgumentReader& reader, bool& verbose) {
    ValidateOptions options;
    const auto operands = readArguments(reader, "validate", verbose, [&](const std::string& word) {
        if (word == "--seed") {
            options.seed = parseSeed(reader.valueOf(word));
        } else if (word == "--repeat") {
            options.repeat = parseRepeat(reader.valueOf(word));
        } else if (word == "--only") {
            options.only.push_back(reader.valueOf(word));
        } else {
            return false;
        }
        return true;
    });
    if (operands.size() != 1) {
        throw UsageError("validate needs exactly one argument: PLUGIN");
    }
    options.plugin = operands[0];
    return options;
}

bool asksForHelp(const std::vector<std::string>& arguments) {
    for (const auto& word : arguments) {
        if (word == "--") {
            return false;
        }
        if (word == "-h" || word == "--help") {
            return true;
        }
    }
    return false;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    if (arguments.empty() || asksForHelp(arguments) || arguments[0] == "help") {
        result.command = HelpRequest{};
        return result;
    }
    const std::string& command = arguments[0];
    ArgumentReader reader(arguments, 1);
    if (command == "info") {
        result.command = parseInfo(reader, result.verbose);
    } else if (command == "process") {
        result.command = parseProcess(reader, result.verbose);
    } else if (command == "bench") {
        result.command = parseBench(reader, result.verbose);
    } else if (command == "editor") {
        result.command = parseEditor(reader, result.verbose);
    } else if (command == "validate") {
        result.command = parseValidate(reader, result.verbose);
    } else if (!command.empty() && command[0] == '-') {
        throw UsageError("unknown option " + command);
    } else {
        throw UsageError("unknown command " + command);
    }
    return result;
}

std::string usageText() {
    return R"(Usage:
  brisolen-host info PLUGIN
  brisolen-host process PLUGIN [IN] OUT [options]
  brisolen-host bench PLUGIN [--block N] [--seconds S]
  brisolen-host editor PLUGIN OUT.png [--param INDEX=VALUE]... [--idle N]
  brisolen-host validate PLUGIN [--seed N] [--repeat N] [--only NAME]...
  brisolen-host --help

Commands:
  info      show the plug-in's record, identity, parameters and programs
  process   run a stereo sound file (WAV, AIFF or FLAC) through the plug-in into OUT;
            without IN, a 4-second stereo demo signal at 48000 Hz is processed
  bench     measure the processing speed of the plug-in's entries
  editor    open the plug-in's editor in a window of our own, let it draw, and save its
            picture as a PNG file
  validate  run a battery of checks a host relies on (lifetime, texts, processing,
            automation, real-time safety, locale, editor); prints PASS, FAIL or SKIP
            for each and exits with 1 when any check fails

Options of process:
  --param INDEX=VALUE   set a parameter (normalised 0..1) before processing; repeatable
  --block N             frames per processing call, 1 to 1048576 (default 512)
  --accumulate          use the accumulate entry even when overwrite is offered
  --format F            output container: wav, aiff or flac
                        (default: that of IN, or the extension of OUT)
  --subtype S           output samples: pcm16, pcm24, pcm32 or float (default: those of IN,
                        float for the demo signal, pcm24 for FLAC)

Options of bench:
  --block N             frames per processing call (default 512)
  --seconds S           time spent measuring each entry (default 1)

Options of editor:
  --param INDEX=VALUE   change a parameter (normalised 0..1) while the editor is open, as
                        host automation does; repeatable
  --idle N              editor idle calls before the picture is taken, 1 to 1000 (default 10)

Options of validate:
  --seed N              seed of the random parts, to repeat a run exactly (default: fresh,
                        printed at the start)
  --repeat N            run the battery N times, 1 to 1000 (default 1)
  --only NAME           run only the checks named NAME or starting with it, for example
                        texts or processing.in-place; repeatable

Common options:
  -v, --verbose         report every request the plug-in sends to the host
  -h, --help            show this text

Exit status: 0 on success, 1 on bad input or a failing plug-in, 2 on a command-line error.
)";
}
