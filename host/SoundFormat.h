// Container formats and sample encodings of sound files, by the names the command line uses.
#pragma once

#include <optional>
#include <string>

struct SoundFormat {
    int container = 0; // the libsndfile major format
    int encoding = 0;  // the libsndfile subtype

    int libsndfileFormat() const { return container | encoding; }
};

std::optional<int> containerFromName(const std::string& name);
std::optional<int> encodingFromName(const std::string& name);
// The container the file name's extension suggests (.wav, .aif, .aiff, .flac).
std::optional<int> containerFromPath(const std::string& path);

std::string containerName(int container);
std::string encodingName(int encoding);
// For example "WAV float" or "FLAC pcm24".
std::string describe(const SoundFormat& format);

// Whether a file of this container may carry a name that suggests the other: WAV files with the
// extensible header and RF64 files are named .wav as well.
bool fitsFileName(int container, int named);

bool isFloatingPoint(int encoding);
