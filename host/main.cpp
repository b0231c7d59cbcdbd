// brisolen-host: loads a plug-in library as an audio host does and runs it on the command line.
#include "host/CommandLine.h"
#include "host/Commands.h"
#include "host/HostError.h"
#include "host/RequestHandler.h"

#include <iostream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

// Returns the exit code of a command that ran to its end.
int runCommand(const CommandLine& commandLine) {
    RequestHandler::setVerbose(commandLine.verbose);
    int exitCode = 0;
    std::visit(
        [&exitCode](const auto& options) {
            using Options = std::decay_t<decltype(options)>;
            if constexpr (std::is_same_v<Options, HelpRequest>) {
                std::cout << usageText();
            } else if constexpr (std::is_same_v<Options, InfoOptions>) {
                runInfo(options, std::cout);
            } else if constexpr (std::is_same_v<Options, ProcessOptions>) {
                runProcess(options, std::cout);
            } else if constexpr (std::is_same_v<Options, BenchOptions>) {
                runBench(options, std::cout);
            } else if constexpr (std::is_same_v<Options, ValidateOptions>) {
                exitCode = runValidate(options, std::cout) ? 0 : exitFailure;
            } else {
                runEditor(options, std::cout);
            }
        },
        commandLine.command);
    if (commandLine.verbose) {
        std::cerr << "brisolen-host: " << RequestHandler::automationReports()
                  << " automation report(s) received\n";
    }
    return exitCode;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const int exitCode =
            runCommand(parseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
        std::cout.flush();
        return std::cout.good() ? exitCode : exitFailure;
    } catch (const UsageError& error) {
        std::cerr << "brisolen-host: " << error.what() << "\n"
                  << "Try 'brisolen-host --help' for usage.\n";
        return exitUsage;
    } catch (const std::exception& error) {
        std::cerr << "brisolen-host: " << error.what() << '\n';
        return exitFailure;
    }
}
