// Drives one effect instance, built by the same factory the library's main uses, through random
// sequences of opcodes, parameter calls, processing calls and editor calls, the way a careless
// but well-formed host might: every buffer is real and sized per call, texts get at least the
// room the interface promises, and the editor is closed before the effect.
#include "effect/EditorBase.h"
#include "effect/EffectBase.h"
#include "effect/EffectFactory.h"
#include "effect/HostRecord.h"
#include "effect/Module.h"
#include "platform/ModuleHandle.h"
#include "platform/TestHooks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int maxActions = 200;
constexpr std::int32_t maxFrames = 2048;
// Room for the records some opcodes fill or read (pin and parameter properties, speaker
// layouts, events, offline tasks); zeroed, so any pointer inside them is null.
constexpr std::size_t recordRoom = 4096;

HostValue answerRequest(HostRecord*, std::int32_t opcode, std::int32_t, HostValue, void*, float) {
    return opcode == 1 ? 2400 : 0;
}

// Room each text opcode may use: at least what the interface promises the plug-in.
std::size_t textRoom(std::int32_t opcode) {
    switch (opcode) {
    case 5:
    case 29:
        return 24;
    case 6:
    case 7:
    case 8:
        return 9;
    case 45:
        return 32;
    case 47:
    case 48:
        return 64;
    default:
        return 256;
    }
}

class Session {
public:
    Session(FuzzedDataProvider& input, HostRecord* record) : input(input), record(record) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() {
        closeEditor();
        record->opcodeEntry(record, 1, 0, 0, nullptr, 0.0f);
    }

    void run() {
        send(0, 0, 0, nullptr, 0.0f);
        for (int action = 0; action < maxActions && input.remaining_bytes() > 0; ++action) {
            step();
        }
    }

private:
    HostValue send(std::int32_t opcode, std::int32_t index, HostValue value, void* data,
                   float opt) {
        return record->opcodeEntry(record, opcode, index, value, data, opt);
    }

    std::int32_t someIndex(std::int32_t count) {
        if (input.ConsumeIntegralInRange(0, 7) == 0) {
            return input.ConsumeIntegral<std::int32_t>();
        }
        return input.ConsumeIntegralInRange<std::int32_t>(-2, std::max(count, 0) + 1);
    }

    void step() {
        switch (input.ConsumeIntegralInRange(0, 11)) {
        case 0:
        case 1:
        case 2:
            randomOpcode();
            break;
        case 3:
            textOpcode();
            break;
        case 4:
            record->changeParameterEntry(record, someIndex(record->parameterCount),
                                         input.ConsumeProbability<float>());
            break;
        case 5:
            record->parameterValueEntry(record, someIndex(record->parameterCount));
            break;
        case 6:
        case 7:
            processBlock();
            break;
        case 8:
            settings();
            break;
        case 9:
            editorCall();
            break;
        case 10:
            programCall();
            break;
        default:
            pressInEditor();
            break;
        }
    }

    // Any opcode but close, with a zeroed record for its data and the value as a count or flag.
    void randomOpcode() {
        std::int32_t opcode = input.ConsumeIntegralInRange<std::int32_t>(-3, 64);
        if (opcode == 1 || (opcode >= 13 && opcode <= 15) || opcode == 19) {
            opcode = 22; // close and the editor opcodes go through their own paths
        }
        std::vector<unsigned char> data(recordRoom);
        HostValue value = input.ConsumeIntegralInRange<HostValue>(-2, 64);
        if (opcode == 42) {
            value = reinterpret_cast<HostValue>(data.data() + recordRoom / 2); // input layout
        } else if (opcode == 24) {
            value = input.ConsumeIntegralInRange<HostValue>(0, recordRoom);
        } else if (opcode == 23) {
            // Address of the pointer that receives the state block.
            void* block = nullptr;
            send(opcode, someIndex(2), 0, &block, 0.0f);
            return;
        }
        send(opcode, someIndex(record->parameterCount), value, data.data(),
             input.ConsumeFloatingPoint<float>());
    }

    void textOpcode() {
        const std::int32_t opcode =
            input.PickValueInArray<std::int32_t>({5, 6, 7, 8, 29, 45, 46, 47, 48});
        std::vector<char> text(textRoom(opcode) + input.ConsumeIntegralInRange<std::size_t>(0, 64),
                               '\0');
        send(opcode, someIndex(std::max(record->parameterCount, record->programCount)),
             input.ConsumeIntegralInRange<HostValue>(-2, 4), text.data(), 0.0f);
        if (std::memchr(text.data(), 0, text.size()) == nullptr) {
            __builtin_trap(); // a text without terminator
        }
    }

    void programCall() {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            // Rename: a host's text of any length, terminated.
            std::string name = input.ConsumeRandomLengthString(100);
            send(4, 0, 0, name.data(), 0.0f);
            break;
        }
        case 1:
            send(2, 0, someIndex(record->programCount), nullptr, 0.0f);
            break;
        case 2: {
            // A parameter set from the host's text.
            std::string text = input.ConsumeRandomLengthString(32);
            send(27, someIndex(record->parameterCount), 0, text.data(), 0.0f);
            break;
        }
        default: {
            std::string capability = input.ConsumeRandomLengthString(64);
            send(51, 0, 0, capability.data(), 0.0f);
            break;
        }
        }
    }

    void settings() {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            send(10, 0, 0, nullptr, input.ConsumeFloatingPointInRange<float>(-1.0f, 400000.0f));
            break;
        case 1:
            send(11, 0, input.ConsumeIntegralInRange<HostValue>(-1, 1 << 20), nullptr, 0.0f);
            break;
        case 2:
            send(12, 0, input.ConsumeBool(), nullptr, 0.0f);
            break;
        default:
            send(43, 0, input.ConsumeIntegralInRange<HostValue>(-1, 1 << 20), nullptr,
                 input.ConsumeFloatingPointInRange<float>(-1.0f, 400000.0f));
            break;
        }
    }

    void processBlock() {
        const std::int32_t frames = input.ConsumeIntegralInRange<std::int32_t>(0, maxFrames);
        const auto channels = [](std::int32_t count, std::int32_t length) {
            return std::vector<std::vector<float>>(
                static_cast<std::size_t>(std::clamp(count, 0, 64)),
                std::vector<float>(static_cast<std::size_t>(length)));
        };
        auto inputs = channels(record->inputCount, frames);
        auto outputs = channels(record->outputCount, frames);
        const float level = input.ConsumeFloatingPointInRange<float>(-4.0f, 4.0f);
        for (auto& channel : inputs) {
            for (std::size_t frame = 0; frame < channel.size(); ++frame) {
                channel[frame] = level * std::sin(0.01f * static_cast<float>(frame));
            }
        }
        std::vector<float*> inputPointers;
        std::vector<float*> outputPointers;
        for (auto& channel : inputs) {
            inputPointers.push_back(channel.data());
        }
        const bool inPlace = input.ConsumeBool();
        for (std::size_t channel = 0; channel < outputs.size(); ++channel) {
            outputPointers.push_back(inPlace && channel < inputs.size() ? inputs[channel].data()
                                                                        : outputs[channel].data());
        }
        const bool overwrite =
            (record->capabilityFlags & flagOverwrite) != 0 && input.ConsumeBool();
        ProcessEntry entry = overwrite ? record->overwriteEntry : record->accumulateEntry;
        entry(record, inputPointers.data(), outputPointers.data(), frames);
    }

    void openEditor() {
        EditorRect* rect = nullptr;
        send(13, 0, 0, &rect, 0.0f);
        if (rect == nullptr) {
            return;
        }
        const int width = std::clamp(rect->right - rect->left, 1, 2000);
        const int height = std::clamp(rect->bottom - rect->top, 1, 2000);
        hostX = input.ConsumeIntegralInRange(-50, 500);
        hostY = input.ConsumeIntegralInRange(-50, 500);
        editorWidth = width;
        editorHeight = height;
        hostWindow = platformtest::createHostWindow(hostX, hostY, width, height);
        send(14, 0, 0, hostWindow, 0.0f);
        platformtest::pumpMessages();
    }

    void closeEditor() {
        if (hostWindow == nullptr) {
            return;
        }
        send(15, 0, 0, nullptr, 0.0f);
        platformtest::pumpMessages();
        DestroyWindow(hostWindow);
        hostWindow = nullptr;
    }

    void editorCall() {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            EditorRect* rect = nullptr;
            send(13, 0, 0, &rect, 0.0f);
            break;
        }
        case 1:
            if (hostWindow == nullptr) {
                openEditor();
            }
            break;
        case 2:
            closeEditor();
            break;
        default:
            platformtest::advanceClock(input.ConsumeIntegralInRange<std::uint32_t>(0, 200));
            send(19, 0, 0, nullptr, 0.0f);
            platformtest::pumpMessages();
            break;
        }
    }

    // A press somewhere over the open editor, followed by a short drag that ends with the
    // button up, so that a control's tracking loop always ends.
    void pressInEditor() {
        if (hostWindow == nullptr) {
            return;
        }
        std::vector<platformtest::InputSnapshot> drag(input.ConsumeIntegralInRange(1, 6));
        for (auto& state : drag) {
            state.x = hostX + input.ConsumeIntegralInRange(-20, editorWidth + 20);
            state.y = hostY + input.ConsumeIntegralInRange(-20, editorHeight + 20);
            state.leftButton = true;
            state.shift = input.ConsumeBool();
            state.alt = input.ConsumeBool();
        }
        drag.back().leftButton = false;
        platformtest::scriptInput(drag);
        platformtest::InputSnapshot modifiers;
        modifiers.shift = input.ConsumeBool();
        modifiers.alt = input.ConsumeBool();
        platformtest::pressAt(hostX + input.ConsumeIntegralInRange(0, editorWidth),
                              hostY + input.ConsumeIntegralInRange(0, editorHeight),
                              input.PickValueInArray({VK_LBUTTON, VK_RBUTTON}), &modifiers);
        platformtest::clearInputScript();
        platformtest::pumpMessages();
    }

    FuzzedDataProvider& input;
    HostRecord* record;
    HWND hostWindow = nullptr;
    int hostX = 0;
    int hostY = 0;
    int editorWidth = 0;
    int editorHeight = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // What the library's load hook does for the plug-in module.
    moduleHandle = win32layer::currentModuleHandle();
    platformtest::useManualClock(1000, 5);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EffectBase* effect = createEffect(&answerRequest);
    if (effect == nullptr || outOfMemory.load()) {
        __builtin_trap(); // the effect could not be built with memory to spare
    }
    FuzzedDataProvider input(data, size);
    Session session(input, effect->hostRecord());
    session.run();
    return 0;
}
