// Bad input and broken plug-ins: each must end in one clear line on stderr, a non-zero exit, and
// no output file at all: neither a new one nor a change to an existing one, nor a leftover
// temporary.
#include "HostTestSupport.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int wavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
const std::string previousContent = "an earlier result that must survive";

// Files every failure case can point at.
struct Material {
    explicit Material(const ScratchDirectory& scratch)
        : stereo(scratch.file("stereo.wav")), mono(scratch.file("mono.wav")),
          threeChannels(scratch.file("three.wav")), notAudio(scratch.file("notaudio.wav")),
          notALibrary(scratch.file("notalibrary.so")), truncatedFlac(scratch.file("cut.flac")) {
        writeSound(stereo, {wavFloat, 44100, 2, testMaterial(1000, 0.5f)});
        writeSound(mono, {wavFloat, 44100, 1, std::vector<float>(1000, 0.25f)});
        writeSound(threeChannels, {wavFloat, 44100, 3, std::vector<float>(3000, 0.25f)});
        writeText(notAudio, "RIFF but not really a sound file");
        writeText(notALibrary, "this is text");
        // Noise hardly compresses, so cutting the file in half loses much of its audio data.
        writeSound(truncatedFlac,
                   {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2, testMaterial(100000, 0.9f)});
        std::filesystem::resize_file(truncatedFlac, std::filesystem::file_size(truncatedFlac) / 2);
    }

    std::string stereo;
    std::string mono;
    std::string threeChannels;
    std::string notAudio;
    std::string notALibrary;
    std::string truncatedFlac;
};

struct FailureCase {
    const char* name;
    // Builds the arguments from the material and the output path.
    std::function<std::vector<std::string>(const Material&, const std::string&)> arguments;
    std::string problem;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

std::vector<std::string> processReal(const std::string& input, const std::string& output,
                                     std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments{"process", realPluginPath(), input, output};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

std::vector<std::string> processWith(const std::string& plugin, const Material& files,
                                     const std::string& output) {
    return {"process", plugin, files.stereo, output};
}

const FailureCase failureCases[] = {
    {"MissingInput",
     [](const Material&, const std::string& out) { return processReal("/no/such/in.wav", out); },
     "cannot read /no/such/in.wav"},
    {"UnreadableInput",
     [](const Material& m, const std::string& out) { return processReal(m.notAudio, out); },
     "cannot read"},
    {"DirectoryAsInput",
     [](const Material&, const std::string& out) { return processReal("/tmp", out); },
     "is a directory"},
    {"MonoInput",
     [](const Material& m, const std::string& out) { return processReal(m.mono, out); },
     "has 1 channel(s); the plug-in needs a stereo file"},
    {"ThreeChannelInput",
     [](const Material& m, const std::string& out) { return processReal(m.threeChannels, out); },
     "has 3 channel(s); the plug-in needs a stereo file"},
    {"InputBrokenHalfway",
     [](const Material& m, const std::string& out) {
         return processReal(m.truncatedFlac, out, {"--format", "wav"});
     },
     "cannot read"},
    {"MissingLibrary",
     [](const Material& m, const std::string& out) {
         return processWith("/no/such/plugin.so", m, out);
     },
     "cannot load plug-in library /no/such/plugin.so: "},
    {"NotALibrary",
     [](const Material& m, const std::string& out) { return processWith(m.notALibrary, m, out); },
     "cannot load plug-in library"},
    {"LibraryWithoutMain",
     [](const Material& m, const std::string& out) {
         return processWith(fakePluginPath("fake_no_main"), m, out);
     },
     "exports no function named main"},
    {"MainReturnsNull",
     [](const Material& m, const std::string& out) {
         return processWith(fakePluginPath("fake_null_main"), m, out);
     },
     "returned no record"},
    {"WrongSignature",
     [](const Material& m, const std::string& out) {
         return processWith(fakePluginPath("fake_bad_signature"), m, out);
     },
     "signature 0x12345678 instead of 0x56737450"},
    {"MonoPlugin",
     [](const Material& m, const std::string& out) {
         return processWith(fakePluginPath("fake_mono"), m, out);
     },
     "1 input(s) and 1 output(s)"},
    {"ParameterIndexOutOfRange",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--param", "2=0.5"});
     },
     "--param 2: no such parameter"},
    {"ParameterValueNotANumber",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--param", "0=loud"});
     },
     "value 'loud' is not a number"},
    {"ParameterValueWithTrailingText",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--param", "0=0.5x"});
     },
     "is not a number"},
    {"ParameterValueOutOfRange",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--param", "1=1.5"});
     },
     "outside the normalised range"},
    {"ParameterWithoutValue",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--param", "1"});
     },
     "expected INDEX=VALUE"},
    {"BlockZero",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--block", "0"});
     },
     "block size must be a whole number from 1 to 1048576"},
    {"BlockTooLarge",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--block", "1048577"});
     },
     "block size must be a whole number from 1 to 1048576"},
    {"BlockNotANumber",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--block", "512k"});
     },
     "block size must be a whole number"},
    {"FloatIntoFlac",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--format", "flac"});
     },
     "FLAC files cannot hold float samples"},
    {"AccumulateEntryMissing",
     [](const Material& m, const std::string& out) {
         return std::vector<std::string>{"process", fakePluginPath("fake_four_channels"), m.stereo,
                                         out, "--accumulate"};
     },
     "the plug-in has no accumulate entry"},
    {"UnknownSubtype",
     [](const Material& m, const std::string& out) {
         return processReal(m.stereo, out, {"--subtype", "pcm12"});
     },
     "--subtype pcm12"},
};

class ProcessFailure : public testing::TestWithParam<FailureCase> {
protected:
    void expectCleanFailure(const std::string& output) {
        const Material material(scratch);
        const auto before = scratch.entries();
        const HostRun run = runHost(GetParam().arguments(material, output));
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_EQ(run.err.rfind("brisolen-host: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(GetParam().problem), std::string::npos) << run.err;
        EXPECT_EQ(lineCount(run.err), 1) << run.err;
        EXPECT_EQ(scratch.entries(), before) << "a file appeared or vanished";
    }

    ScratchDirectory scratch;
};

TEST_P(ProcessFailure, LeavesNoOutputFile) {
    const std::string output = scratch.file("out.wav");
    expectCleanFailure(output);
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_P(ProcessFailure, LeavesAnExistingOutputUnchanged) {
    const std::string output = scratch.file("out.wav");
    writeText(output, previousContent);
    expectCleanFailure(output);
    EXPECT_EQ(readText(output), previousContent);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcessFailure, testing::ValuesIn(failureCases),
                         [](const testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ProcessFailureOutput, UnwritableDirectoryIsReported) {
    ScratchDirectory scratch;
    const Material material(scratch);
    const HostRun run = runHost(processReal(material.stereo, "/no/such/directory/out.wav"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("brisolen-host: cannot write /no/such/directory/out.wav", 0), 0u)
        << run.err;
}

TEST(ProcessFailureOutput, OutputNamedForAnotherFormatNeedsAnExplicitChoice) {
    ScratchDirectory scratch;
    const Material material(scratch);
    const auto before = scratch.entries();
    const HostRun run = runHost(processReal(material.stereo, scratch.file("out.flac")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("out.flac is named like a FLAC file but the input is WAV"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(scratch.entries(), before);
}

TEST(ProcessFailureOutput, DemoOutputNeedsAKnownFormat) {
    ScratchDirectory scratch;
    const HostRun run = runHost({"process", realPluginPath(), scratch.file("demo.xyz")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot tell the format of"), std::string::npos) << run.err;
    EXPECT_TRUE(scratch.entries().empty());
}

TEST(ProcessFailureOutput, APluginCrashingMidwayLeavesNoTemporaryAndTheOldOutput) {
    ScratchDirectory scratch;
    const Material material(scratch);
    const std::string output = scratch.file("out.wav");
    writeText(output, previousContent);
    const auto before = scratch.entries();
    const HostRun run = runHost(processWith(fakePluginPath("fake_crash"), material, output));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(scratch.entries(), before);
    EXPECT_EQ(readText(output), previousContent);
}

struct CommandFailure {
    const char* name;
    std::vector<std::string> arguments;
    std::string problem;
};

void PrintTo(const CommandFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class OtherCommandFailure : public testing::TestWithParam<CommandFailure> {};

TEST_P(OtherCommandFailure, EndsInOneLineAndExitCodeOne) {
    const HostRun run = runHost(GetParam().arguments);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err.rfind("brisolen-host: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(GetParam().problem), std::string::npos) << run.err;
    EXPECT_EQ(lineCount(run.err), 1) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OtherCommandFailure,
    testing::Values(
        CommandFailure{
            "InfoWithoutMain", {"info", fakePluginPath("fake_no_main")}, "no function named main"},
        CommandFailure{"InfoWrongSignature",
                       {"info", fakePluginPath("fake_bad_signature")},
                       "signature 0x12345678"},
        CommandFailure{"BenchMonoPlugin",
                       {"bench", fakePluginPath("fake_mono"), "--seconds", "0.01"},
                       "1 input(s) and 1 output(s)"},
        CommandFailure{"BenchZeroSeconds", {"bench", "x.so", "--seconds", "0"}, "--seconds 0"},
        CommandFailure{"BenchBlockTooLarge",
                       {"bench", "x.so", "--block", "2000000"},
                       "block size must be a whole number"}),
    [](const testing::TestParamInfo<CommandFailure>& info) {
        return std::string(info.param.name);
    });

} // namespace
