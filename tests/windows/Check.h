// A small check harness for the Windows test host: named test cases that register themselves,
// CHECK macros that print the file, line and the values compared, and a summary.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>

namespace check {

using TestFunction = void (*)();

// Registers a test case at start-up; cases run in the order of registration within a file.
struct Registration {
    Registration(const char* name, TestFunction function);
};

// Records one failed check of the running test case.
void fail(const char* file, int line, const std::string& message);

// Runs every test case whose name contains filter (all with an empty filter) and prints the
// summary. Returns the number of failed test cases.
int runAll(const std::string& filter);

// Text of a value for failure messages; floats also show their bit pattern.
template <typename T> std::string describe(const T& value) {
    std::ostringstream text;
    if constexpr (std::is_same_v<T, const char*> || std::is_same_v<T, char*>) {
        text << '"' << (value != nullptr ? value : "(null)") << '"';
    } else if constexpr (std::is_pointer_v<T>) {
        text << static_cast<const void*>(value);
    } else {
        text << value;
    }
    return text.str();
}
std::string describe(float value);
std::string withContext(const std::string& message, const std::string& context);
std::string describe(const std::string& value);

template <typename A, typename B>
bool equal(const char* file, int line, const char* expressions, const A& actual, const B& expected,
           const std::string& context) {
    if (actual == expected) {
        return true;
    }
    fail(file, line,
         std::string(expressions) + ": got " + describe(actual) + ", expected " +
             describe(expected) + (context.empty() ? "" : " (" + context + ")"));
    return false;
}

bool equalText(const char* file, int line, const char* expressions, const char* actual,
               const char* expected, const std::string& context);
bool equalBits(const char* file, int line, const char* expressions, float actual, float expected,
               const std::string& context);

} // namespace check

#define TEST_CASE(name)                                                                            \
    static void name();                                                                            \
    static const check::Registration name##Registration(#name, &name);                             \
    static void name()

#define CHECK(condition, ...)                                                                      \
    ((condition) ? true                                                                            \
                 : (check::fail(__FILE__, __LINE__,                                                \
                                check::withContext("CHECK(" #condition ") failed",                 \
                                                   std::string(__VA_ARGS__))),                     \
                    false))

// Each takes an optional context text, shown on failure.
#define CHECK_EQ(actual, expected, ...)                                                            \
    check::equal(__FILE__, __LINE__, #actual " == " #expected, (actual), (expected),               \
                 std::string(__VA_ARGS__))
#define CHECK_TEXT(actual, expected, ...)                                                          \
    check::equalText(__FILE__, __LINE__, #actual " == " #expected, (actual), (expected),           \
                     std::string(__VA_ARGS__))
#define CHECK_BITS(actual, expected, ...)                                                          \
    check::equalBits(__FILE__, __LINE__, #actual " bits == " #expected, (actual), (expected),      \
                     std::string(__VA_ARGS__))

// Ends the running test case when the condition does not hold.
#define REQUIRE(condition)                                                                         \
    do {                                                                                           \
        if (!CHECK(condition)) {                                                                   \
            return;                                                                                \
        }                                                                                          \
    } while (false)
