#include "host/SoundFileWriter.h"

#include "host/HostError.h"
#include "host/OutputFile.h"

#include <sndfile.h>

namespace {

constexpr int stereo = 2;

} // namespace

SoundFileWriter::SoundFileWriter(OutputFile& output, SoundFormat format, int sampleRate)
    : outputFile(output) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = stereo;
    info.format = format.libsndfileFormat();
    if (sf_format_check(&info) == 0) {
        throw HostError("cannot write " + output.target() + ": " + containerName(format.container) +
                        " files cannot hold " + encodingName(format.encoding) + " samples at " +
                        std::to_string(sampleRate) + " Hz");
    }
    file = sf_open_fd(output.descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (file == nullptr) {
        throw HostError("cannot write " + output.target() + ": " + sf_strerror(nullptr));
    }
    // Integer encodings would otherwise wrap values beyond full scale around to the other sign.
    if (!isFloatingPoint(format.encoding)) {
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }
}

SoundFileWriter::~SoundFileWriter() {
    if (file != nullptr) {
        sf_close(file);
    }
}

void SoundFileWriter::write(const float* interleaved, std::int64_t frames) {
    if (sf_writef_float(file, interleaved, frames) != frames) {
        throw HostError("cannot write " + outputFile.target() + ": " + sf_strerror(file));
    }
}

void SoundFileWriter::finish() {
    SNDFILE* closing = file;
    file = nullptr;
    if (sf_close(closing) != 0) {
        throw HostError("cannot write " + outputFile.target() + ": " + sf_strerror(nullptr));
    }
}
