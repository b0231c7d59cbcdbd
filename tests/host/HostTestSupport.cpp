#include "HostTestSupport.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string captureFile(const std::filesystem::path& directory, const char* name) {
    return (directory / name).string();
}

} // namespace

std::string hostPath() {
    return BRISOLEN_HOST_PATH;
}

std::string realPluginPath() {
    return BRISOLEN_PLUGIN_PATH;
}

std::string fakePluginPath(const std::string& name) {
    return (std::filesystem::path(BRISOLEN_FAKE_DIR) / (name + ".so")).string();
}

namespace {

// Replaces the current (child) process with the host; never returns.
[[noreturn]] void executeHost(const std::vector<std::string>& arguments) {
    std::string program = hostPath();
    std::vector<std::string> copies(arguments);
    std::vector<char*> argv{program.data()};
    for (auto& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

int waitForExit(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

HostRun runHost(const std::vector<std::string>& arguments,
                const std::map<std::string, std::string>& environment) {
    ScratchDirectory capture;
    const std::string outPath = captureFile(capture.path(), "stdout");
    const std::string errPath = captureFile(capture.path(), "stderr");
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        for (const auto& [name, value] : environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        executeHost(arguments);
    }
    HostRun run;
    run.exitCode = waitForExit(child);
    run.out = readText(outPath);
    run.err = readText(errPath);
    return run;
}

HostRun runHostOnTerminal(const std::vector<std::string>& arguments) {
    ScratchDirectory capture;
    const std::string outPath = captureFile(capture.path(), "stdout");
    int terminal = -1;
    int childSide = -1;
    if (openpty(&terminal, &childSide, nullptr, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        close(terminal);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(childSide, STDERR_FILENO);
        executeHost(arguments);
    }
    close(childSide);
    HostRun run;
    // Read while the host runs: a full terminal buffer would block it. The read fails once the
    // host has exited and closed its side.
    char buffer[4096];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
        run.err.append(buffer, static_cast<std::size_t>(got));
    }
    close(terminal);
    run.exitCode = waitForExit(child);
    run.out = readText(outPath);
    return run;
}

ScratchDirectory::ScratchDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brisolen-host-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    directory = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

std::vector<std::string> ScratchDirectory::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeSound(const std::string& path, const SoundData& sound) {
    SF_INFO info{};
    info.samplerate = sound.sampleRate;
    info.channels = sound.channels;
    info.format = sound.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_writef_float(file, sound.samples.data(), sound.frames());
    sf_close(file);
}

SoundData readSound(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    SoundData sound;
    sound.format = info.format;
    sound.sampleRate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, sound.samples.data(), info.frames);
    sf_close(file);
    return sound;
}

std::vector<int> readSoundIntegers(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    std::vector<int> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_int(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

std::vector<float> testMaterial(long long frames, float peak, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> samples(static_cast<std::size_t>(2 * frames));
    for (long long i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i);
        const double left =
            0.5 * std::sin(t * 0.031) + 0.3 * std::sin(t * 0.17) + 0.2 * noise(random);
        const double right =
            0.5 * std::sin(t * 0.031) - 0.3 * std::sin(t * 0.05) + 0.2 * noise(random);
        samples[static_cast<std::size_t>(2 * i)] = static_cast<float>(peak * left);
        samples[static_cast<std::size_t>(2 * i + 1)] = static_cast<float>(peak * right);
    }
    return samples;
}

float gainFor(float value) {
    const double v = value;
    const double gain = v > 0.9 ? (v - static_cast<double>(0.9f)) * 10.0 + 1.0
                                : v * static_cast<double>(1.1111112f);
    return static_cast<float>(gain);
}

std::vector<float> midSide(const std::vector<float>& interleaved, float midValue, float sideValue) {
    const double midGain = gainFor(midValue);
    const double sideGain = gainFor(sideValue);
    std::vector<float> result(interleaved.size());
    for (std::size_t i = 0; i + 1 < interleaved.size(); i += 2) {
        const double left = interleaved[i];
        const double right = interleaved[i + 1];
        const double mid = (left + right) * midGain;
        const double side = (left - right) * sideGain;
        result[i] = static_cast<float>((mid + side) * 0.5);
        result[i + 1] = static_cast<float>((mid - side) * 0.5);
    }
    return result;
}

std::string readText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

int lineCount(const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    const auto newlines = std::count(text.begin(), text.end(), '\n');
    return static_cast<int>(newlines) + (text.back() == '\n' ? 0 : 1);
}
