// Texts the plug-in writes into host buffers: they must fit the buffer with their terminator,
// for every index a host may send, in range or not.
#include "host/PluginInstance.h"
#include "host/validation/AudioBuffers.h"
#include "host/validation/Check.h"
#include "host/validation/GuardedText.h"

#include <array>
#include <climits>
#include <cmath>

namespace validation {

namespace {

constexpr std::int32_t opcodeRenameProgram = 4;
constexpr std::int32_t opcodeErrorText = 46;
// Beyond this many parameters or programs only the first ones are asked.
constexpr std::int32_t maxAsked = 1024;

std::string parameterWhat(const char* text, std::int32_t index) {
    return std::string(text) + " of parameter " + std::to_string(index);
}

void askParameterTexts(PluginInstance& plugin, std::int32_t index) {
    askGuardedText(plugin, parameterWhat("title", index), Opcode::parameterTitle,
                   TextSize::parameter, index);
    askGuardedText(plugin, parameterWhat("unit", index), Opcode::parameterUnit, TextSize::parameter,
                   index);
    askGuardedText(plugin, parameterWhat("value text", index), Opcode::parameterText,
                   TextSize::parameter, index);
}

void identityTexts(CheckContext& context) {
    PluginInstance plugin(context.library);
    askGuardedText(plugin, "effect name", Opcode::effectName, TextSize::effectName);
    askGuardedText(plugin, "error text", opcodeErrorText, TextSize::errorText);
    askGuardedText(plugin, "vendor name", Opcode::vendorName, TextSize::vendorName);
    askGuardedText(plugin, "product name", Opcode::productName, TextSize::productName);
}

void parameterTexts(CheckContext& context) {
    PluginInstance plugin(context.library);
    const std::int32_t count = std::min(plugin.parameterCount(), maxAsked);
    for (std::int32_t index = 0; index < count; ++index) {
        askParameterTexts(plugin, index);
        if (!plugin.canChangeParameters()) {
            continue;
        }
        // The value text is widest at the ends of the range and at values with many digits.
        for (const float value :
             {0.0f, 1.0f, 0.5f, 0.123456f, 0.999999f, randomUnit(context.random)}) {
            plugin.changeParameter(index, value);
            askParameterTexts(plugin, index);
        }
    }
}

std::string programWhat(const char* text, std::int32_t index) {
    return std::string(text) + " " + std::to_string(index);
}

void renameCurrentProgram(PluginInstance& plugin, const std::string& name) {
    std::string copy = name;
    plugin.send(opcodeRenameProgram, 0, 0, copy.data());
}

void programTexts(CheckContext& context) {
    PluginInstance plugin(context.library);
    const std::int32_t count = std::min(plugin.programCount(), maxAsked);
    for (std::int32_t index = 0; index < count; ++index) {
        askGuardedText(plugin, programWhat("name of program", index), Opcode::programNameAt,
                       TextSize::programName, index, -1);
        plugin.send(Opcode::selectProgram, 0, index);
        askGuardedText(plugin, programWhat("name after selecting program", index),
                       Opcode::programName, TextSize::programName);
    }
    if (count == 0) {
        return;
    }
    // The longest name a host gives, then one longer than that, which the plug-in must cut or
    // refuse rather than store past its record.
    renameCurrentProgram(plugin, std::string(TextSize::programName - 1, 'N'));
    askGuardedText(plugin, "name after renaming to 23 characters", Opcode::programName,
                   TextSize::programName);
    renameCurrentProgram(plugin, std::string(200, 'L'));
    askGuardedText(plugin, "name after renaming to 200 characters", Opcode::programName,
                   TextSize::programName);
}

std::array<std::int32_t, 5> indexesOutside(std::int32_t count) {
    return {-1, INT_MIN, count, count + 1, INT_MAX};
}

void outOfRangeParameters(PluginInstance& plugin) {
    for (const std::int32_t index : indexesOutside(plugin.parameterCount())) {
        askParameterTexts(plugin, index);
        if (plugin.canChangeParameters()) {
            plugin.changeParameter(index, 0.5f);
        }
        if (plugin.canReadParameters()) {
            const float value = plugin.parameterValue(index);
            require(std::isfinite(value), "parameter " + std::to_string(index) +
                                              " outside the range reads as a non-finite value");
        }
        askParameterTexts(plugin, 0);
    }
}

void outOfRangePrograms(PluginInstance& plugin) {
    for (const std::int32_t index : indexesOutside(plugin.programCount())) {
        askGuardedText(plugin, programWhat("name of program", index), Opcode::programNameAt,
                       TextSize::programName, index, -1);
        plugin.send(Opcode::selectProgram, 0, index);
        askGuardedText(plugin, programWhat("current name after selecting program", index),
                       Opcode::programName, TextSize::programName);
        plugin.send(Opcode::currentProgram);
    }
}

void outOfRangeIndexes(CheckContext& context) {
    PluginInstance plugin(context.library);
    outOfRangeParameters(plugin);
    outOfRangePrograms(plugin);
}

} // namespace

std::vector<Check> textChecks() {
    return {
        {"texts.identity", identityTexts},
        {"texts.parameters", parameterTexts},
        {"texts.programs", programTexts},
        {"texts.out-of-range", outOfRangeIndexes},
    };
}

} // namespace validation
