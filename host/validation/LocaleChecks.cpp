// The process's locale belongs to the host: a plug-in must not change it, and its texts must not
// depend on it (a comma as decimal point would turn its numbers into other numbers).
#include "host/PluginInstance.h"
#include "host/validation/AudioBuffers.h"
#include "host/validation/Check.h"
#include "host/validation/EditorSession.h"
#include "host/validation/GuardedText.h"

#include <clocale>
#include <functional>
#include <memory>
#include <utility>

namespace validation {

namespace {

struct LocaleState {
    std::string names;
    std::string decimalPoint;

    static LocaleState current() {
        const char* names = std::setlocale(LC_ALL, nullptr);
        return {names != nullptr ? names : "", std::localeconv()->decimal_point};
    }
    bool operator==(const LocaleState&) const = default;
    std::string describe() const {
        return "\"" + names + "\" (decimal point '" + decimalPoint + "')";
    }
};

using Step = std::pair<std::string, std::function<void()>>;

std::vector<Step> textSteps(PluginInstance& plugin) {
    std::vector<Step> steps;
    for (const auto& [name, opcode, size] :
         {std::tuple{"effect name", Opcode::effectName, TextSize::effectName},
          std::tuple{"vendor name", Opcode::vendorName, TextSize::vendorName},
          std::tuple{"product name", Opcode::productName, TextSize::productName},
          std::tuple{"program name", Opcode::programName, TextSize::programName}}) {
        steps.emplace_back(name, [&plugin, name = name, opcode = opcode, size = size] {
            askGuardedText(plugin, name, opcode, size);
        });
    }
    for (std::int32_t index = 0; index < std::min(plugin.parameterCount(), 64); ++index) {
        steps.emplace_back("texts of parameter " + std::to_string(index), [&plugin, index] {
            askGuardedText(plugin, "title", Opcode::parameterTitle, TextSize::parameter, index);
            askGuardedText(plugin, "unit", Opcode::parameterUnit, TextSize::parameter, index);
            askGuardedText(plugin, "value text", Opcode::parameterText, TextSize::parameter, index);
        });
        if (plugin.canChangeParameters()) {
            steps.emplace_back("change of parameter " + std::to_string(index),
                               [&plugin, index] { plugin.changeParameter(index, 0.5f); });
        }
    }
    return steps;
}

std::vector<Step> audioSteps(PluginInstance& plugin, std::unique_ptr<AudioBuffers>& buffers) {
    std::vector<Step> steps{
        {"sample rate", [&plugin] { plugin.send(Opcode::sampleRate, 0, 0, nullptr, 48000.0f); }},
        {"block size", [&plugin] { plugin.send(Opcode::blockSize, 0, 256); }},
        {"audio on", [&plugin] { plugin.send(Opcode::audioSwitch, 0, 1); }},
    };
    for (const Entry entry : offeredEntries(plugin)) {
        steps.emplace_back(std::string(entryName(entry)) + " entry", [&plugin, &buffers, entry] {
            if (!buffers) {
                buffers = std::make_unique<AudioBuffers>(plugin, 256);
            }
            process(plugin, entry, *buffers, 256);
        });
    }
    steps.emplace_back("audio off", [&plugin] { plugin.send(Opcode::audioSwitch, 0, 0); });
    return steps;
}

std::vector<Step> editorSteps(PluginInstance& plugin, std::unique_ptr<EditorSession>& editor) {
    if (!announcesEditor(plugin)) {
        return {};
    }
    return {
        {"editor rectangle", [&plugin] { editorRectangle(plugin); }},
        {"editor open", [&plugin, &editor] { editor = std::make_unique<EditorSession>(plugin); }},
        {"editor idle", [&editor] { editor->idle(); }},
        {"editor close", [&editor] { editor.reset(); }},
    };
}

void requireUnchanged(const LocaleState& before, const std::string& call) {
    const LocaleState after = LocaleState::current();
    require(after == before, call + " changed the process's locale from " + before.describe() +
                                 " to " + after.describe());
}

void localeUnchanged(CheckContext& context) {
    const LocaleState before = LocaleState::current();
    auto plugin = std::make_unique<PluginInstance>(context.library);
    requireUnchanged(before, "main and open");
    std::unique_ptr<AudioBuffers> buffers;
    std::unique_ptr<EditorSession> editor;
    std::vector<Step> steps = textSteps(*plugin);
    for (auto&& more : {audioSteps(*plugin, buffers), editorSteps(*plugin, editor)}) {
        steps.insert(steps.end(), more.begin(), more.end());
    }
    for (const auto& [call, run] : steps) {
        run();
        requireUnchanged(before, call);
    }
    buffers.reset();
    plugin.reset();
    requireUnchanged(before, "close");
}

// Every text the plug-in shows a host, in a fixed order, from a new instance.
std::vector<std::string> allTexts(CheckContext& context) {
    PluginInstance plugin(context.library);
    std::vector<std::string> texts{
        askGuardedText(plugin, "effect name", Opcode::effectName, TextSize::effectName),
        askGuardedText(plugin, "vendor name", Opcode::vendorName, TextSize::vendorName),
        askGuardedText(plugin, "product name", Opcode::productName, TextSize::productName),
        askGuardedText(plugin, "program name", Opcode::programName, TextSize::programName),
    };
    for (std::int32_t index = 0; index < std::min(plugin.parameterCount(), 64); ++index) {
        texts.push_back(
            askGuardedText(plugin, "title", Opcode::parameterTitle, TextSize::parameter, index));
        texts.push_back(
            askGuardedText(plugin, "unit", Opcode::parameterUnit, TextSize::parameter, index));
        for (const float value : {0.0f, 0.25f, 0.5f, 0.333f, 0.9f, 1.0f}) {
            if (plugin.canChangeParameters()) {
                plugin.changeParameter(index, value);
            }
            texts.push_back(askGuardedText(plugin, "value text", Opcode::parameterText,
                                           TextSize::parameter, index));
        }
    }
    return texts;
}

bool useCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            return std::string(std::localeconv()->decimal_point) == ",";
        }
    }
    return false;
}

void textsUnderCommaLocale(CheckContext& context) {
    const std::vector<std::string> plain = allTexts(context);
    if (!useCommaLocale()) {
        std::setlocale(LC_ALL, "C");
        throw CheckSkipped("no comma-decimal locale (de_DE.UTF-8) is installed");
    }
    std::vector<std::string> comma;
    try {
        comma = allTexts(context);
    } catch (...) {
        std::setlocale(LC_ALL, "C");
        throw;
    }
    std::setlocale(LC_ALL, "C");
    require(comma.size() == plain.size(), "the plug-in shows a different number of texts");
    for (std::size_t text = 0; text < plain.size(); ++text) {
        require(comma[text] == plain[text], "under de_DE.UTF-8 a text reads \"" + comma[text] +
                                                "\" instead of \"" + plain[text] + "\"");
    }
}

} // namespace

std::vector<Check> localeChecks() {
    return {
        {"locale.unchanged", localeUnchanged},
        {"locale.comma-decimal", textsUnderCommaLocale},
    };
}

} // namespace validation
