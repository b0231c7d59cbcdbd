// A file that appears under its final name only when it is complete. The data goes into a
// temporary file in the target's directory, which commit() renames over the target; until then
// an existing target stays untouched, and the temporary is removed on any failure, including a
// fatal signal.
#pragma once

#include <string>

class OutputFile {
public:
    // Throws HostError when the temporary file cannot be created.
    explicit OutputFile(const std::string& targetPath);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    int descriptor() const { return fd; }
    const std::string& target() const { return targetPath; }
    // Where the data goes until commit(), for writers that open the file by name.
    const std::string& temporary() const { return temporaryPath; }

    // Closes the temporary and moves it to the target path. Throws HostError on failure.
    void commit();

private:
    void discard();

    std::string targetPath;
    std::string temporaryPath;
    int fd = -1;
};
