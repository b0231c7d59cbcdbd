// The Windows test host: loads the plug-in library, runs every test case and prints a summary.
// Usage: brisolen_windows_tests LIBRARY.dll OUTPUT_DIRECTORY RESOURCE_DIRECTORY [NAME_FILTER]
#include "Check.h"
#include "TestSettings.h"

#include <windows.h>

#include <cstdio>

namespace testhost {

TestSettings& settings() {
    static TestSettings current;
    return current;
}

} // namespace testhost

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: %s LIBRARY.dll OUTPUT_DIRECTORY RESOURCE_DIRECTORY [NAME_FILTER]\n",
                     argv[0]);
        return 2;
    }
    testhost::settings().libraryPath = argv[1];
    testhost::settings().outputDirectory = argv[2];
    testhost::settings().resourceDirectory = argv[3];
    CreateDirectoryA(argv[2], nullptr);
    // A crash in the library must end the run with a failure, not wait for a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    return check::runAll(argc > 4 ? argv[4] : "") == 0 ? 0 : 1;
}
