// Where the Windows test host finds the library under test and writes its captures.
#pragma once

#include <string>

namespace testhost {

struct TestSettings {
    std::string libraryPath;
    std::string outputDirectory;
    std::string resourceDirectory; // the bitmap files the library's resources are built from
};

TestSettings& settings();

} // namespace testhost
