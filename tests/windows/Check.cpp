#include "Check.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <vector>

namespace check {
namespace {

struct TestCase {
    const char* name;
    TestFunction function;
};

std::vector<TestCase>& registry() {
    static std::vector<TestCase> cases;
    return cases;
}

int failuresInCurrentCase = 0;

} // namespace

Registration::Registration(const char* name, TestFunction function) {
    registry().push_back({name, function});
}

void fail(const char* file, int line, const std::string& message) {
    ++failuresInCurrentCase;
    std::printf("%s:%d: %s\n", file, line, message.c_str());
    std::fflush(stdout);
}

std::string describe(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g [%08x]", static_cast<double>(value),
                  std::bit_cast<std::uint32_t>(value));
    return text;
}

std::string withContext(const std::string& message, const std::string& context) {
    return context.empty() ? message : message + " (" + context + ")";
}

std::string describe(const std::string& value) {
    return '"' + value + '"';
}

bool equalText(const char* file, int line, const char* expressions, const char* actual,
               const char* expected, const std::string& context) {
    if (actual != nullptr && expected != nullptr && std::strcmp(actual, expected) == 0) {
        return true;
    }
    fail(file, line,
         std::string(expressions) + ": got " + describe(actual) + ", expected " +
             describe(expected) + (context.empty() ? "" : " (" + context + ")"));
    return false;
}

bool equalBits(const char* file, int line, const char* expressions, float actual, float expected,
               const std::string& context) {
    if (std::bit_cast<std::uint32_t>(actual) == std::bit_cast<std::uint32_t>(expected)) {
        return true;
    }
    fail(file, line,
         std::string(expressions) + ": got " + describe(actual) + ", expected " +
             describe(expected) + (context.empty() ? "" : " (" + context + ")"));
    return false;
}

int runAll(const std::string& filter) {
    int passed = 0;
    int failed = 0;
    for (const TestCase& test : registry()) {
        if (!filter.empty() && std::strstr(test.name, filter.c_str()) == nullptr) {
            continue;
        }
        std::printf("[ RUN  ] %s\n", test.name);
        std::fflush(stdout);
        failuresInCurrentCase = 0;
        test.function();
        if (failuresInCurrentCase == 0) {
            ++passed;
            std::printf("[  OK  ] %s\n", test.name);
        } else {
            ++failed;
            std::printf("[ FAIL ] %s: %d failed check(s)\n", test.name, failuresInCurrentCase);
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed;
}

} // namespace check
