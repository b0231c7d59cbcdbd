#include "host/SoundFileReader.h"

#include "host/HostError.h"

#include <sndfile.h>

#include <filesystem>

SoundFileReader::SoundFileReader(const std::string& path) : filePath(path) {
    // libsndfile happily opens some non-files (a directory reads as an empty stream).
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw HostError("cannot read " + path + ": it is a directory");
    }
    SF_INFO info{};
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        throw HostError("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    if (info.channels != 2) {
        sf_close(file);
        file = nullptr;
        throw HostError(path + " has " + std::to_string(info.channels) +
                        " channel(s); the plug-in needs a stereo file");
    }
    frameCount = info.frames;
    rate = info.samplerate;
    fileFormat.container = info.format & SF_FORMAT_TYPEMASK;
    fileFormat.encoding = info.format & SF_FORMAT_SUBMASK;
}

SoundFileReader::~SoundFileReader() {
    if (file != nullptr) {
        sf_close(file);
    }
}

std::int64_t SoundFileReader::read(float* interleaved, std::int64_t count) {
    const sf_count_t got = sf_readf_float(file, interleaved, count);
    if (sf_error(file) != SF_ERR_NO_ERROR) {
        throw HostError("cannot read " + filePath + ": " + sf_strerror(file));
    }
    return got;
}
