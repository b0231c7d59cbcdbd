#include "host/OutputFile.h"

#include "host/HostError.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The temporary file a fatal signal must remove. Only a fixed buffer can be read safely inside a
// signal handler.
std::array<char, 4096> pendingTemporary{};
volatile std::sig_atomic_t havePendingTemporary = 0;

constexpr std::array fatalSignals{SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGBUS, SIGFPE, SIGABRT};

extern "C" void removePendingTemporary(int signalNumber) {
    if (havePendingTemporary != 0) {
        unlink(pendingTemporary.data());
    }
    // The handler was installed to run once; the default action now ends the program.
    std::raise(signalNumber);
}

void watchFatalSignals() {
    struct sigaction action {};
    action.sa_handler = removePendingTemporary;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : fatalSignals) {
        sigaction(signalNumber, &action, nullptr);
    }
}

void rememberTemporary(const std::string& path) {
    if (path.size() < pendingTemporary.size()) {
        std::memcpy(pendingTemporary.data(), path.c_str(), path.size() + 1);
        havePendingTemporary = 1;
        watchFatalSignals();
    }
}

void forgetTemporary() {
    havePendingTemporary = 0;
}

std::string systemError() {
    return std::strerror(errno);
}

// mkstemp creates files readable by the owner only; the result should look like any other file
// the user creates.
void applyUsualPermissions(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

} // namespace

OutputFile::OutputFile(const std::string& path) : targetPath(path) {
    const std::filesystem::path target(path);
    if (target.filename().empty()) {
        throw HostError("cannot write " + path + ": not a file name");
    }
    std::error_code error;
    if (std::filesystem::is_directory(target, error)) {
        throw HostError("cannot write " + path + ": it is a directory");
    }
    const std::filesystem::path directory = target.parent_path();
    std::string hiddenName = ".";
    hiddenName += target.filename().string();
    hiddenName += ".partial-XXXXXX";
    const std::string pattern = (directory / hiddenName).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd = mkstemp(name.data());
    if (fd < 0) {
        throw HostError("cannot write " + path + ": " + systemError());
    }
    temporaryPath = name.data();
    rememberTemporary(temporaryPath);
    applyUsualPermissions(fd);
}

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::commit() {
    const int closing = fd;
    fd = -1;
    // The data must be on disk before the new name can replace an older file.
    const bool synced = fsync(closing) == 0;
    if (close(closing) != 0 || !synced) {
        const std::string reason = systemError();
        discard();
        throw HostError("cannot write " + targetPath + ": " + reason);
    }
    if (std::rename(temporaryPath.c_str(), targetPath.c_str()) != 0) {
        const std::string reason = systemError();
        discard();
        throw HostError("cannot write " + targetPath + ": " + reason);
    }
    temporaryPath.clear();
    forgetTemporary();
}

void OutputFile::discard() {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
    if (!temporaryPath.empty()) {
        unlink(temporaryPath.c_str());
        temporaryPath.clear();
        forgetTemporary();
    }
}
