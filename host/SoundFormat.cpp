#include "host/SoundFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace {

struct NamedValue {
    const char* name;
    int value;
};

constexpr std::array containers{
    NamedValue{"wav", SF_FORMAT_WAV},   NamedValue{"aiff", SF_FORMAT_AIFF},
    NamedValue{"flac", SF_FORMAT_FLAC}, NamedValue{"wavex", SF_FORMAT_WAVEX},
    NamedValue{"rf64", SF_FORMAT_RF64},
};

constexpr std::array encodings{
    NamedValue{"pcm16", SF_FORMAT_PCM_16},  NamedValue{"pcm24", SF_FORMAT_PCM_24},
    NamedValue{"pcm32", SF_FORMAT_PCM_32},  NamedValue{"float", SF_FORMAT_FLOAT},
    NamedValue{"double", SF_FORMAT_DOUBLE}, NamedValue{"pcm8", SF_FORMAT_PCM_S8},
    NamedValue{"pcmu8", SF_FORMAT_PCM_U8},  NamedValue{"ulaw", SF_FORMAT_ULAW},
    NamedValue{"alaw", SF_FORMAT_ALAW},
};

template <std::size_t size>
std::optional<int> valueOf(const std::array<NamedValue, size>& table, const std::string& name) {
    for (const auto& entry : table) {
        if (name == entry.name) {
            return entry.value;
        }
    }
    return std::nullopt;
}

template <std::size_t size>
std::string nameOf(const std::array<NamedValue, size>& table, int value) {
    for (const auto& entry : table) {
        if (entry.value == value) {
            return entry.name;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(value));
    return text;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::optional<int> containerFromName(const std::string& name) {
    return valueOf(containers, name);
}

std::optional<int> encodingFromName(const std::string& name) {
    return valueOf(encodings, name);
}

std::optional<int> containerFromPath(const std::string& path) {
    const std::string extension = lowerCase(std::filesystem::path(path).extension().string());
    if (extension == ".aif" || extension == ".aifc") {
        return SF_FORMAT_AIFF;
    }
    if (extension.empty()) {
        return std::nullopt;
    }
    return containerFromName(extension.substr(1));
}

std::string containerName(int container) {
    std::string name = nameOf(containers, container);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::string encodingName(int encoding) {
    return nameOf(encodings, encoding);
}

std::string describe(const SoundFormat& format) {
    return containerName(format.container) + " " + encodingName(format.encoding);
}

bool fitsFileName(int container, int named) {
    const bool wavFamily = container == SF_FORMAT_WAVEX || container == SF_FORMAT_RF64;
    return container == named || (named == SF_FORMAT_WAV && wavFamily);
}

bool isFloatingPoint(int encoding) {
    return encoding == SF_FORMAT_FLOAT || encoding == SF_FORMAT_DOUBLE;
}
