// Processing sound files through the real plug-in library and through fakes, checked sample by
// sample against the processing formula.
#include "HostTestSupport.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <sstream>

namespace {

constexpr int testRate = 44100;
constexpr long long testFrames = 1500;

struct FileKind {
    const char* name;
    int format;
    const char* extension;
};

const FileKind wavFloat{"WavFloat", SF_FORMAT_WAV | SF_FORMAT_FLOAT, ".wav"};
const FileKind wavPcm16{"WavPcm16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, ".wav"};
const FileKind wavPcm24{"WavPcm24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, ".wav"};
const FileKind wavexPcm24{"WavexPcm24", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, ".wav"};
const FileKind aiffPcm24{"AiffPcm24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, ".aiff"};
const FileKind flacPcm16{"FlacPcm16", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, ".flac"};

struct ParameterCase {
    const char* name;
    std::vector<std::string> options;
    float mid;
    float side;
};

void PrintTo(const FileKind& kind, std::ostream* out) {
    *out << kind.name;
}
void PrintTo(const ParameterCase& parameters, std::ostream* out) {
    *out << parameters.name;
}

bool isFloatFormat(int format) {
    const int encoding = format & SF_FORMAT_SUBMASK;
    return encoding == SF_FORMAT_FLOAT || encoding == SF_FORMAT_DOUBLE;
}

// Index of the first sample whose bits differ, or -1.
long long firstBitDifference(const std::vector<float>& a, const std::vector<float>& b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (std::bit_cast<std::uint32_t>(a[i]) != std::bit_cast<std::uint32_t>(b[i])) {
            return static_cast<long long>(i);
        }
    }
    return a.size() == b.size() ? -1 : static_cast<long long>(std::min(a.size(), b.size()));
}

std::string sample(const std::vector<float>& samples, long long index) {
    std::ostringstream text;
    text.precision(9);
    if (index >= 0 && static_cast<std::size_t>(index) < samples.size()) {
        text << samples[static_cast<std::size_t>(index)];
    } else {
        text << "(none)";
    }
    return text.str();
}

// The output must hold the formula's result for the input as the host read it, in the output's
// own encoding: bit for bit for float files, after the same quantisation for integer files.
void expectFormula(const ScratchDirectory& scratch, const std::string& inputPath,
                   const std::string& outputPath, int expectedFormat, float mid, float side) {
    const SoundData input = readSound(inputPath);
    const SoundData output = readSound(outputPath);
    ASSERT_EQ(output.format, expectedFormat);
    ASSERT_EQ(output.channels, 2);
    ASSERT_EQ(output.sampleRate, input.sampleRate);
    ASSERT_EQ(output.frames(), input.frames());

    SoundData expected = input;
    expected.format = expectedFormat;
    expected.samples = midSide(input.samples, mid, side);
    if (isFloatFormat(expectedFormat)) {
        const long long difference = firstBitDifference(output.samples, expected.samples);
        EXPECT_EQ(difference, -1) << "sample " << difference << ": got "
                                  << sample(output.samples, difference) << ", expected "
                                  << sample(expected.samples, difference);
        return;
    }
    const std::string reference = scratch.file("reference" + std::to_string(expectedFormat));
    writeSound(reference, expected);
    EXPECT_EQ(readSoundIntegers(outputPath), readSoundIntegers(reference));
}

std::vector<std::string> processArguments(const std::string& input, const std::string& output,
                                          const std::vector<std::string>& extra) {
    std::vector<std::string> arguments{"process", realPluginPath(), input, output};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

void expectSuccess(const HostRun& run) {
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
}

using FormulaCase = std::tuple<FileKind, ParameterCase, int>;

class RealPluginFormula : public testing::TestWithParam<FormulaCase> {};

TEST_P(RealPluginFormula, OutputFollowsTheFormulaInTheInputsFormat) {
    const auto& [kind, parameters, blockSize] = GetParam();
    ScratchDirectory scratch;
    const std::string input = scratch.file(std::string("in") + kind.extension);
    const std::string output = scratch.file(std::string("out") + kind.extension);
    writeSound(input, {kind.format, testRate, 2, testMaterial(testFrames, 0.45f)});

    auto options = parameters.options;
    options.insert(options.end(), {"--block", std::to_string(blockSize)});
    const HostRun run = runHost(processArguments(input, output, options));
    expectSuccess(run);
    EXPECT_EQ(scratch.entries(), (std::vector<std::string>{std::string("in") + kind.extension,
                                                           std::string("out") + kind.extension}));
    EXPECT_NE(run.out.find("processed " + std::to_string(testFrames) + " frames"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(output), std::string::npos) << run.out;
    expectFormula(scratch, input, output, kind.format, parameters.mid, parameters.side);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RealPluginFormula,
    testing::Combine(
        testing::Values(wavFloat, wavPcm16, wavPcm24, wavexPcm24, aiffPcm24, flacPcm16),
        testing::Values(
            ParameterCase{"Defaults", {}, 0.9f, 0.9f},
            ParameterCase{"MidUpSideOff", {"--param", "0=1.0", "--param", "1=0.0"}, 1.0f, 0.0f},
            ParameterCase{"MidLowSideHigh", {"--param=0=0.3", "--param", "1=0.95"}, 0.3f, 0.95f}),
        testing::Values(1, 7, 512)),
    [](const testing::TestParamInfo<FormulaCase>& info) {
        return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name + "Block" +
               std::to_string(std::get<2>(info.param));
    });

TEST(RealPlugin, AccumulateEntryGivesTheSameResult) {
    ScratchDirectory scratch;
    const std::string input = scratch.file("in.wav");
    writeSound(input, {wavFloat.format, testRate, 2, testMaterial(testFrames, 0.5f)});
    const HostRun run = runHost(processArguments(
        input, scratch.file("out.wav"), {"--accumulate", "--param", "1=0.5", "--block", "100"}));
    expectSuccess(run);
    EXPECT_NE(run.out.find("accumulate entry"), std::string::npos) << run.out;
    expectFormula(scratch, input, scratch.file("out.wav"), wavFloat.format, 0.9f, 0.5f);
}

TEST(RealPlugin, OutputFormatAndEncodingCanBeChosen) {
    ScratchDirectory scratch;
    const std::string input = scratch.file("in.wav");
    writeSound(input, {wavFloat.format, 48000, 2, testMaterial(testFrames, 0.5f)});
    const std::string output = scratch.file("out.flac");
    const HostRun run =
        runHost(processArguments(input, output, {"--format", "flac", "--subtype", "pcm16"}));
    expectSuccess(run);
    expectFormula(scratch, input, output, flacPcm16.format, 0.9f, 0.9f);
}

TEST(RealPlugin, IntegerOutputClipsOversInsteadOfWrappingThem) {
    ScratchDirectory scratch;
    const std::string input = scratch.file("in.wav");
    const std::string output = scratch.file("out.wav");
    writeSound(input, {wavPcm16.format, testRate, 2, testMaterial(testFrames, 0.95f)});
    expectSuccess(runHost(processArguments(input, output, {"--param", "0=1", "--param", "1=1"})));

    const std::vector<float> expected = midSide(readSound(input).samples, 1.0f, 1.0f);
    const std::vector<int> written = readSoundIntegers(output);
    ASSERT_EQ(written.size(), expected.size());
    int clipped = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (std::fabs(expected[i]) >= 1.0f) {
            EXPECT_EQ(written[i], expected[i] > 0 ? INT32_MAX - 0xFFFF : INT32_MIN) << i;
            ++clipped;
        }
    }
    EXPECT_GT(clipped, 0) << "the material should drive the output beyond full scale";
}

TEST(RealPlugin, FloatOutputKeepsValuesBeyondFullScale) {
    ScratchDirectory scratch;
    const std::string input = scratch.file("in.wav");
    const std::string output = scratch.file("out.wav");
    writeSound(input, {wavFloat.format, testRate, 2, testMaterial(testFrames, 0.95f)});
    expectSuccess(runHost(processArguments(input, output, {"--param", "0=1", "--param", "1=1"})));
    const SoundData written = readSound(output);
    float peak = 0.0f;
    for (float value : written.samples) {
        peak = std::max(peak, std::fabs(value));
    }
    EXPECT_GT(peak, 1.2f);
    expectFormula(scratch, input, output, wavFloat.format, 1.0f, 1.0f);
}

TEST(RealPlugin, OutputMayReplaceItsOwnInput) {
    ScratchDirectory scratch;
    const std::string file = scratch.file("song.wav");
    const std::string original = scratch.file("original.wav");
    writeSound(file, {wavPcm24.format, testRate, 2, testMaterial(testFrames, 0.5f)});
    std::filesystem::copy_file(file, original);
    expectSuccess(runHost(processArguments(file, file, {"--param", "1=0"})));
    expectFormula(scratch, original, file, wavPcm24.format, 0.9f, 0.0f);
}

struct DemoCase {
    const char* fileName;
    std::vector<std::string> options;
    int format;
};

void PrintTo(const DemoCase& demo, std::ostream* out) {
    *out << demo.fileName;
}

class DemoSignalOutput : public testing::TestWithParam<DemoCase> {};

TEST_P(DemoSignalOutput, IsAFourSecondStereoFileWithDistinctChannels) {
    ScratchDirectory scratch;
    const std::string output = scratch.file(GetParam().fileName);
    std::vector<std::string> arguments{"process", realPluginPath(), output};
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    expectSuccess(runHost(arguments));
    const SoundData demo = readSound(output);
    EXPECT_EQ(demo.format, GetParam().format);
    EXPECT_EQ(demo.channels, 2);
    EXPECT_EQ(demo.sampleRate, 48000);
    EXPECT_EQ(demo.frames(), 4 * 48000);
    double leftEnergy = 0.0;
    double rightEnergy = 0.0;
    double differenceEnergy = 0.0;
    for (std::size_t i = 0; i + 1 < demo.samples.size(); i += 2) {
        leftEnergy += demo.samples[i] * demo.samples[i];
        rightEnergy += demo.samples[i + 1] * demo.samples[i + 1];
        const double difference = demo.samples[i] - demo.samples[i + 1];
        differenceEnergy += difference * difference;
    }
    EXPECT_GT(leftEnergy, 100.0);
    EXPECT_GT(rightEnergy, 100.0);
    EXPECT_GT(differenceEnergy, 100.0) << "the demo must carry a side signal";
}

INSTANTIATE_TEST_SUITE_P(
    Files, DemoSignalOutput,
    testing::Values(DemoCase{"demo.wav", {}, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
                    DemoCase{"demo.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
                    DemoCase{"demo.aif", {"--subtype", "pcm16"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
                    DemoCase{"demo.out", {"--format", "wav"}, SF_FORMAT_WAV | SF_FORMAT_FLOAT}));

TEST(RealPlugin, DemoWithMidOffLeavesOnlyTheSideSignal) {
    ScratchDirectory scratch;
    const std::string output = scratch.file("side.wav");
    expectSuccess(runHost({"process", realPluginPath(), output, "--param", "0=0"}));
    const SoundData side = readSound(output);
    ASSERT_EQ(side.frames(), 4 * 48000);
    for (std::size_t i = 0; i + 1 < side.samples.size(); i += 2) {
        ASSERT_EQ(side.samples[i], -side.samples[i + 1]) << "frame " << i / 2;
    }
}

// Lines of the fake plug-in's call log, as the host drove it.
std::vector<std::string> logLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream text(readText(path));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<float> fakeAccumulatorFormula(const std::vector<float>& input, double a, double b,
                                          double c) {
    std::vector<float> result(input.size());
    for (std::size_t i = 0; i + 1 < input.size(); i += 2) {
        const double left = input[i];
        const double right = input[i + 1];
        result[i] = static_cast<float>(0.0f + a * left + b * right);
        result[i + 1] = static_cast<float>(0.0f + c * (left - right));
    }
    return result;
}

TEST(FakePlugin, WithoutTheOverwriteFlagTheHostAccumulatesIntoSilencedBlocks) {
    ScratchDirectory scratch;
    const std::string input = scratch.file("in.wav");
    const std::string output = scratch.file("out.wav");
    const std::string log = scratch.file("calls.log");
    constexpr long long frames = 100;
    writeSound(input, {wavFloat.format, 22050, 2, testMaterial(frames, 0.5f)});
    const HostRun run = runHost({"process", fakePluginPath("fake_accumulator"), input, output,
                                 "--block", "7", "--param", "0=0.75", "--param", "2=0.125"},
                                {{"BRISOLEN_FAKE_LOG", log}});
    expectSuccess(run);

    const SoundData written = readSound(output);
    const auto expected = fakeAccumulatorFormula(readSound(input).samples, 0.75, 0.25, 0.125);
    EXPECT_EQ(firstBitDifference(written.samples, expected), -1);

    std::vector<std::string> opcodes;
    long long processed = 0;
    for (const auto& line : logLines(log)) {
        if (line.rfind("opcode", 0) == 0) {
            opcodes.push_back(line);
        } else if (line.rfind("accumulate ", 0) == 0) {
            const long long block = std::stoll(line.substr(11));
            EXPECT_LE(block, 7);
            processed += block;
        }
        EXPECT_EQ(line.find("overwrite"), std::string::npos) << "overwrite entry called";
    }
    EXPECT_EQ(processed, frames);
    const std::vector<std::string> lifecycle{
        "opcode 0 index 0 value 0",  "opcode 10 index 0 value 0", "opcode 11 index 0 value 7",
        "opcode 12 index 0 value 1", "opcode 12 index 0 value 0", "opcode 1 index 0 value 0"};
    EXPECT_EQ(opcodes, lifecycle);
    const std::string calls = readText(log);
    EXPECT_NE(calls.find("sample rate 22050"), std::string::npos) << calls;
    EXPECT_LT(calls.find("parameter 2 = 0.125"), calls.find("accumulate")) << calls;
}

TEST(FakePlugin, ExtraPinsGetTheirOwnSilentBuffers) {
    ScratchDirectory scratch;
    const std::string input = scratch.file("in.wav");
    const std::string output = scratch.file("out.wav");
    writeSound(input, {wavFloat.format, testRate, 2, testMaterial(testFrames, 0.5f)});
    expectSuccess(runHost({"process", fakePluginPath("fake_four_channels"), input, output}));
    EXPECT_EQ(firstBitDifference(readSound(output).samples, readSound(input).samples), -1);
}

TEST(RealPlugin, BenchReportsBothEntries) {
    const HostRun run = runHost({"bench", realPluginPath(), "--block", "256", "--seconds", "0.05"});
    expectSuccess(run);
    for (const char* entry : {"overwrite", "accumulate"}) {
        const auto line = run.out.find(std::string("\n") + entry);
        ASSERT_NE(line, std::string::npos) << run.out;
        EXPECT_NE(run.out.find("ns/frame", line), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("realtime", line), std::string::npos) << run.out;
    }
}

TEST(FakePlugin, BenchNamesTheEntriesAPluginDoesNotOffer) {
    const struct {
        const char* plugin;
        const char* missing;
    } cases[] = {{"fake_accumulator", "overwrite   not offered"},
                 {"fake_four_channels", "accumulate  not offered"}};
    for (const auto& benchCase : cases) {
        const HostRun run =
            runHost({"bench", fakePluginPath(benchCase.plugin), "--seconds", "0.02"});
        expectSuccess(run);
        EXPECT_NE(run.out.find(benchCase.missing), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("ns/frame"), std::string::npos) << run.out;
    }
}

TEST(RealPlugin, LongJobsShowProgressOnlyOnATerminal) {
    ScratchDirectory scratch;
    const std::string input = scratch.file("long.wav");
    writeSound(input, {wavPcm16.format, 48000, 2, testMaterial(1200000, 0.5f)});
    const std::vector<std::string> arguments =
        processArguments(input, scratch.file("out.wav"), {"--block", "4096"});

    const HostRun onTerminal = runHostOnTerminal(arguments);
    ASSERT_EQ(onTerminal.exitCode, 0) << onTerminal.err;
    EXPECT_NE(onTerminal.err.find("100%"), std::string::npos) << onTerminal.err;

    const HostRun intoFile = runHost(arguments);
    ASSERT_EQ(intoFile.exitCode, 0) << intoFile.err;
    EXPECT_TRUE(intoFile.err.empty()) << intoFile.err;
}

} // namespace
