// An effect whose operations record their calls, to check how opcodes map onto operations.
#pragma once

#include "effect/ExtendedEffect.h"

#include <string>

class RecordingEffect : public ExtendedEffect {
public:
    explicit RecordingEffect(HostCallback callback = nullptr, std::int32_t programs = 3,
                             std::int32_t parameters = 2)
        : ExtendedEffect(callback, programs, parameters) {}

    std::string calls;
    float meter = 0.0f;
    std::int32_t stateSize = 0;

    void processAccumulate(float**, float**, std::int32_t frames) override {
        log("processAccumulate(" + std::to_string(frames) + ")");
    }
    void onOpen() override { log("onOpen"); }
    void onClose() override { log("onClose"); }
    void selectProgram(std::int32_t program) override {
        log("selectProgram(" + std::to_string(program) + ")");
        ExtendedEffect::selectProgram(program);
    }
    void renameProgram(char* text) override { log("renameProgram(" + std::string(text) + ")"); }
    void copyProgramName(char* text) override { write("copyProgramName", text); }
    void copyParameterUnit(std::int32_t index, char* text) override {
        write("copyParameterUnit(" + std::to_string(index) + ")", text);
    }
    void copyParameterText(std::int32_t index, char* text) override {
        write("copyParameterText(" + std::to_string(index) + ")", text);
    }
    void copyParameterTitle(std::int32_t index, char* text) override {
        write("copyParameterTitle(" + std::to_string(index) + ")", text);
    }
    float meterValue() override { return meter; }
    std::int32_t saveStateBlob(void** data, bool isPreset) override {
        *data = this;
        log(std::string("saveStateBlob(") + (isPreset ? "preset" : "bank") + ")");
        return stateSize;
    }
    std::int32_t loadStateBlob(void*, std::int32_t size, bool isPreset) override {
        log("loadStateBlob(" + std::to_string(size) + (isPreset ? ",preset)" : ",bank)"));
        return stateSize;
    }
    void changeSampleRate(float rate) override {
        log("changeSampleRate(" + std::to_string(static_cast<int>(rate)) + ")");
        ExtendedEffect::changeSampleRate(rate);
    }
    void changeBlockSize(std::int32_t size) override {
        log("changeBlockSize(" + std::to_string(size) + ")");
        ExtendedEffect::changeBlockSize(size);
    }
    void onStop() override { log("onStop"); }
    void onStart() override { log("onStart"); }
    void onInputConnection(std::int32_t index, bool connected) override {
        log("onInputConnection(" + std::to_string(index) + "," + std::to_string(connected) + ")");
    }
    void onOutputConnection(std::int32_t index, bool connected) override {
        log("onOutputConnection(" + std::to_string(index) + "," + std::to_string(connected) + ")");
    }
    bool programNameAt(std::int32_t category, std::int32_t index, char* text) override {
        write("programNameAt(" + std::to_string(category) + "," + std::to_string(index) + ")",
              text);
        return true;
    }
    HostValue handleVendorRequest(std::int32_t a, HostValue b, void*, float f) override {
        log("handleVendorRequest(" + std::to_string(a) + "," + std::to_string(b) + "," +
            std::to_string(static_cast<int>(f)) + ")");
        return 77;
    }
    bool moveView(std::int32_t x, std::int32_t y) override {
        log("moveView(" + std::to_string(x) + "," + std::to_string(y) + ")");
        return true;
    }

    // Expose the protected state the dispatcher changes.
    std::int32_t programIndex() const { return currentProgramIndex; }

private:
    void log(const std::string& call) {
        if (!calls.empty()) {
            calls += ";";
        }
        calls += call;
    }
    void write(const std::string& call, char* text) {
        log(call);
        text[0] = 'x';
        text[1] = '\0';
    }
};
