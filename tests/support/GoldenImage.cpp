#include "support/GoldenImage.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace golden {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string goldenPath(const std::string& name) {
    return std::string(BRISOLEN_GOLDEN_DIR) + "/" + name + ".png";
}

std::string outputPath(const std::string& name, const char* suffix) {
    return std::string(BRISOLEN_TEST_OUTPUT_DIR) + "/" + name + suffix + ".png";
}

// Differing pixels in red over a faded copy of the expected image.
platformtest::Image differenceImage(const platformtest::Image& expected,
                                    const platformtest::Image& actual) {
    platformtest::Image diff = expected;
    for (int y = 0; y < diff.height; ++y) {
        for (int x = 0; x < diff.width; ++x) {
            std::uint8_t* p = &diff.rgb[static_cast<std::size_t>((y * diff.width + x) * 3)];
            if (expected.pixel(x, y) != actual.pixel(x, y)) {
                p[0] = 255;
                p[1] = 0;
                p[2] = 0;
            } else {
                for (int c = 0; c < 3; ++c) {
                    p[c] = static_cast<std::uint8_t>(192 + p[c] / 4);
                }
            }
        }
    }
    return diff;
}

} // namespace

bool readPng(const std::string& path, platformtest::Image& image) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    png_image reader{};
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&reader, file.get())) {
        return false;
    }
    reader.format = PNG_FORMAT_RGB;
    image.width = static_cast<int>(reader.width);
    image.height = static_cast<int>(reader.height);
    image.rgb.assign(PNG_IMAGE_SIZE(reader), 0);
    if (!png_image_finish_read(&reader, nullptr, image.rgb.data(), 0, nullptr)) {
        png_image_free(&reader);
        return false;
    }
    return true;
}

testing::AssertionResult matches(const platformtest::Image& image, const std::string& name) {
    const char* update = std::getenv("BRISOLEN_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        if (!platformtest::writePng(image, goldenPath(name))) {
            return testing::AssertionFailure() << "could not write " << goldenPath(name);
        }
        return testing::AssertionSuccess();
    }
    platformtest::Image expected;
    if (!readPng(goldenPath(name), expected)) {
        return testing::AssertionFailure() << "no golden image " << goldenPath(name);
    }
    int differing = 0;
    if (expected.width == image.width && expected.height == image.height) {
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                differing += expected.pixel(x, y) != image.pixel(x, y) ? 1 : 0;
            }
        }
        if (differing == 0) {
            return testing::AssertionSuccess();
        }
    }
    const std::string actualPath = outputPath(name, "-actual");
    platformtest::writePng(image, actualPath);
    std::ostringstream message;
    message << name << ": " << image.width << "x" << image.height << " against " << expected.width
            << "x" << expected.height << ", " << differing
            << " pixels differ; actual image: " << actualPath;
    if (expected.width == image.width && expected.height == image.height) {
        const std::string diffPath = outputPath(name, "-diff");
        platformtest::writePng(differenceImage(expected, image), diffPath);
        message << ", difference image: " << diffPath;
    }
    return testing::AssertionFailure() << message.str();
}

} // namespace golden
