// The validate command: runs the checks of host/validation against a plug-in library, each in a
// child process of its own, so that a plug-in that crashes, hangs or corrupts memory in one
// check is reported for that check and cannot spoil the others.
#include "host/Commands.h"
#include "host/HostError.h"
#include "host/PluginLibrary.h"
#include "host/validation/Check.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Far beyond what any check needs on a working plug-in, even under a sanitizer.
constexpr unsigned checkTimeoutSeconds = 300;

enum class Verdict { pass, fail, skip };

struct Outcome {
    Verdict verdict = Verdict::fail;
    std::string reason;
};

struct Tally {
    int passed = 0;
    int failed = 0;
    int skipped = 0;
};

std::uint64_t mix(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

// Each check's random numbers depend on the seed, the round and its own name only, so a check
// run alone with --only sees the same numbers as in the whole battery.
std::uint64_t checkSeed(std::uint64_t seed, int round, const std::string& name) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const char character : name) {
        hash = (hash ^ static_cast<unsigned char>(character)) * 0x100000001B3ull;
    }
    return mix(seed ^ mix(hash + static_cast<std::uint64_t>(round)));
}

Outcome runHere(const validation::Check& check, const std::string& pluginPath, std::uint64_t seed) {
    try {
        const PluginLibrary library(pluginPath);
        std::mt19937_64 random(seed);
        validation::CheckContext context{library, random};
        check.run(context);
        return {Verdict::pass, {}};
    } catch (const validation::CheckSkipped& skipped) {
        return {Verdict::skip, skipped.what()};
    } catch (const std::exception& failure) {
        return {Verdict::fail, failure.what()};
    }
}

void writeAll(int descriptor, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(descriptor, text.data() + written, text.size() - written);
        if (count <= 0) {
            return;
        }
        written += static_cast<std::size_t>(count);
    }
}

std::string readAll(int descriptor) {
    std::string text;
    char chunk[4096];
    ssize_t count = 0;
    while ((count = read(descriptor, chunk, sizeof chunk)) > 0) {
        text.append(chunk, static_cast<std::size_t>(count));
    }
    return text;
}

[[noreturn]] void runInChild(const validation::Check& check, const std::string& pluginPath,
                             std::uint64_t seed, int resultPipe) {
    alarm(checkTimeoutSeconds);
    const Outcome outcome = runHere(check, pluginPath, seed);
    const char code = outcome.verdict == Verdict::pass   ? 'P'
                      : outcome.verdict == Verdict::skip ? 'S'
                                                         : 'F';
    writeAll(resultPipe, code + outcome.reason);
    // No exit handlers: the plug-in's module state is not ours to tear down.
    _exit(0);
}

Outcome outcomeOfChild(int status, const std::string& report) {
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        if (signal == SIGALRM) {
            return {Verdict::fail,
                    "did not finish within " + std::to_string(checkTimeoutSeconds) + " seconds"};
        }
        return {Verdict::fail, "the process died of signal " + std::to_string(signal) + " (" +
                                   strsignal(signal) + ")"};
    }
    if (report.empty()) {
        return {Verdict::fail, "the process ended without a result, exit status " +
                                   std::to_string(WEXITSTATUS(status))};
    }
    const Verdict verdict = report[0] == 'P'   ? Verdict::pass
                            : report[0] == 'S' ? Verdict::skip
                                               : Verdict::fail;
    return {verdict, report.substr(1)};
}

Outcome runIsolated(const validation::Check& check, const std::string& pluginPath,
                    std::uint64_t seed, std::ostream& out) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        throw HostError("cannot create a pipe for the checks");
    }
    // What is buffered now must not be written a second time by the child.
    out.flush();
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        throw HostError("cannot start a process for the checks");
    }
    if (child == 0) {
        close(pipeEnds[0]);
        runInChild(check, pluginPath, seed, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    const std::string report = readAll(pipeEnds[0]);
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return outcomeOfChild(status, report);
}

bool selected(const validation::Check& check, const std::vector<std::string>& only) {
    if (only.empty()) {
        return true;
    }
    const std::string name = check.name;
    for (const auto& wanted : only) {
        if (name.rfind(wanted, 0) == 0) {
            return true;
        }
    }
    return false;
}

std::vector<validation::Check> selectChecks(const std::vector<std::string>& only) {
    const auto all = validation::allChecks();
    std::vector<validation::Check> chosen;
    for (const auto& check : all) {
        if (selected(check, only)) {
            chosen.push_back(check);
        }
    }
    for (const auto& wanted : only) {
        if (std::none_of(all.begin(), all.end(), [&](const validation::Check& check) {
                return selected(check, {wanted});
            })) {
            std::string names;
            for (const auto& check : all) {
                names += std::string("\n  ") + check.name;
            }
            throw UsageError("--only " + wanted +
                             ": no check has this name; the checks are:" + names);
        }
    }
    return chosen;
}

void report(std::ostream& out, const char* name, const Outcome& outcome, Tally& tally) {
    switch (outcome.verdict) {
    case Verdict::pass:
        ++tally.passed;
        out << "PASS " << name << '\n';
        break;
    case Verdict::skip:
        ++tally.skipped;
        out << "SKIP " << name << ": " << outcome.reason << '\n';
        break;
    case Verdict::fail:
        ++tally.failed;
        out << "FAIL " << name << ": " << outcome.reason << '\n';
        break;
    }
}

} // namespace

bool runValidate(const ValidateOptions& options, std::ostream& out) {
    const auto checks = selectChecks(options.only);
    if (!std::filesystem::exists(options.plugin)) {
        throw HostError("cannot load plug-in library " + options.plugin + ": no such file");
    }
    const std::uint64_t seed = options.seed ? *options.seed : std::random_device{}();
    out << "validating " << options.plugin << " with seed " << seed << '\n';
    Tally tally;
    for (int round = 0; round < options.repeat; ++round) {
        if (options.repeat > 1) {
            out << "round " << round + 1 << " of " << options.repeat << '\n';
        }
        for (const auto& check : checks) {
            const Outcome outcome =
                runIsolated(check, options.plugin, checkSeed(seed, round, check.name), out);
            report(out, check.name, outcome, tally);
        }
    }
    out << tally.passed << " passed, " << tally.failed << " failed";
    if (tally.skipped > 0) {
        out << ", " << tally.skipped << " skipped";
    }
    out << '\n';
    return tally.failed == 0;
}
