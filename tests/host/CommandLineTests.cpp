// The command line as a user meets it: help, usage errors and their exit codes.
#include "HostTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(HostCommandLine, HelpAndNoArgumentsPrintUsageAndSucceed) {
    for (const auto& arguments : {std::vector<std::string>{}, std::vector<std::string>{"--help"},
                                  std::vector<std::string>{"process", "-h"}}) {
        const HostRun run = runHost(arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.out.find("brisolen-host process PLUGIN [IN] OUT"), std::string::npos);
        EXPECT_NE(run.out.find("brisolen-host bench PLUGIN"), std::string::npos);
        EXPECT_TRUE(run.err.empty()) << run.err;
    }
}

TEST(HostCommandLine, VerboseReportsThePluginsRequests) {
    const HostRun run = runHost({"info", "--verbose", fakePluginPath("fake_accumulator")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("brisolen-host: request 1 "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("-> 2400"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("0 automation report(s) received"), std::string::npos) << run.err;
}

struct UsageCase {
    std::vector<std::string> arguments;
    std::string problem;
};

void PrintTo(const UsageCase& usage, std::ostream* out) {
    *out << usage.problem;
}

class HostUsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(HostUsageErrors, NameTheProblemAndExitWithTwo) {
    const HostRun run = runHost(GetParam().arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.rfind("brisolen-host: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(GetParam().problem), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostUsageErrors,
    testing::Values(
        UsageCase{{"transmogrify", "x.so"}, "unknown command transmogrify"},
        UsageCase{{"--frobnicate"}, "unknown option --frobnicate"},
        UsageCase{{"process", "p.so", "in.wav", "out.wav", "--gain", "2"}, "unknown option --gain"},
        UsageCase{{"bench", "p.so", "--accumulate"}, "unknown option --accumulate"},
        UsageCase{{"info"}, "info needs exactly one argument"},
        UsageCase{{"info", "a.so", "b.so"}, "info needs exactly one argument"},
        UsageCase{{"process", "p.so"}, "process needs PLUGIN"},
        UsageCase{{"process", "p.so", "a", "b", "c"}, "process needs PLUGIN"},
        UsageCase{{"process", "p.so", "out.wav", "--block"}, "needs a value"},
        UsageCase{{"process", "p.so", "out.wav", "--accumulate=yes"}, "takes no value"}));

} // namespace
