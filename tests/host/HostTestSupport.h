// Helpers for the host tests: running the built host, scratch directories, sound files written
// and read through libsndfile, and the mid/side formula the real plug-in must follow.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct HostRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built brisolen-host with the arguments; environment entries are added to the
// test's own environment.
HostRun runHost(const std::vector<std::string>& arguments,
                const std::map<std::string, std::string>& environment = {});

// The same with stderr on a pseudo-terminal, as when a user watches it; run.err holds what the
// terminal received.
HostRun runHostOnTerminal(const std::vector<std::string>& arguments);

std::string hostPath();
std::string realPluginPath();
// A fake plug-in library built beside the tests, for example "fake_mono".
std::string fakePluginPath(const std::string& name);

// A fresh directory removed with everything in it at the end of the test.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::filesystem::path path() const { return directory; }
    std::string file(const std::string& name) const { return (directory / name).string(); }
    // The names of every entry in the directory, sorted.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path directory;
};

struct SoundData {
    int format = 0; // libsndfile format word: container | encoding
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved
    long long frames() const {
        return channels == 0 ? 0 : static_cast<long long>(samples.size()) / channels;
    }
};

void writeSound(const std::string& path, const SoundData& sound);
// The file's samples as libsndfile gives them as floats, the way the host reads them.
SoundData readSound(const std::string& path);
// The file's samples as 32-bit integers, for comparing integer encodings exactly.
std::vector<int> readSoundIntegers(const std::string& path);

// Deterministic stereo test material: tones and noise with the given peak level.
std::vector<float> testMaterial(long long frames, float peak, unsigned seed = 1);

// The plug-in's gain law and mid/side processing, in the same precision.
float gainFor(float value);
std::vector<float> midSide(const std::vector<float>& interleaved, float midValue, float sideValue);

std::string readText(const std::string& path);
void writeText(const std::string& path, const std::string& text);
// Counts the lines of a text, with or without a final newline.
int lineCount(const std::string& text);
