// The two ways a command can fail: bad input or a broken plug-in (exit code 1), and a command line
// the host does not understand (exit code 2, with a hint towards the usage text).
#pragma once

#include <stdexcept>
#include <string>

class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};
