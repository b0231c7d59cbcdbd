// Adds the host's extended opcodes to EffectBase: a second dispatcher, the plug-in-side operations
// with their defaults, four more flag setters and the requests an effect can make of the host.
#pragma once

#include "effect/EffectBase.h"

class ExtendedEffect : public EffectBase {
public:
    ExtendedEffect(HostCallback callback, std::int32_t programs, std::int32_t parameters);
    ~ExtendedEffect() override;

    HostValue handleOpcode(std::int32_t opcode, std::int32_t index, HostValue value, void* data,
                           float opt) override;

    virtual void requestEvents(std::int32_t filter);
    virtual void* requestTimeInfo(std::int32_t filter);
    virtual std::int32_t requestTempoAt(std::int32_t position);
    virtual std::int32_t receiveEvents(void* events);
    virtual std::int32_t requestAutomatableCount();
    virtual std::int32_t requestParameterQuantization();
    virtual bool parameterIsAutomatable(std::int32_t index);
    virtual bool parameterFromText(std::int32_t index, char* text);
    virtual float channelParameterValue(std::int32_t channel, std::int32_t index);
    virtual std::int32_t programCategoryCount();
    virtual bool programNameAt(std::int32_t category, std::int32_t index, char* text);
    virtual bool copyCurrentProgramTo(std::int32_t destination);
    virtual bool announceIoChange();
    virtual bool requestIdleCalls();
    virtual bool requestWindowSize(std::int32_t width, std::int32_t height);
    virtual float refreshSampleRate();
    virtual std::int32_t refreshBlockSize();
    virtual std::int32_t requestInputLatency();
    virtual std::int32_t requestOutputLatency();
    virtual HostRecord* requestPreviousEffect(std::int32_t input);
    virtual HostRecord* requestNextEffect(std::int32_t output);
    virtual void onInputConnection(std::int32_t index, bool connected);
    virtual void onOutputConnection(std::int32_t index, bool connected);
    virtual bool describeInputPin(std::int32_t index, void* properties);
    virtual bool describeOutputPin(std::int32_t index, void* properties);
    virtual std::int32_t effectCategory();
    virtual std::int32_t requestOutputMode();
    virtual std::int32_t requestProcessLevel();
    virtual std::int32_t requestAutomationState();
    virtual void declareAsync(bool on);
    virtual void declareOwnBuffer(bool on);
    virtual std::int32_t currentPosition();
    virtual float* destinationBuffer();
    virtual bool requestOfflineRead(void* task, std::int32_t option, bool readSource);
    virtual bool requestOfflineWrite(void* task, std::int32_t option);
    virtual bool requestOfflineStart(void* files, std::int32_t fileCount,
                                     std::int32_t newFileCount);
    virtual std::int32_t requestOfflinePass();
    virtual std::int32_t requestOfflineMetaPass();
    virtual bool offlineNotification(void* files, std::int32_t count, bool start);
    virtual bool prepareOffline(void* tasks, std::int32_t count);
    virtual bool runOffline(void* tasks, std::int32_t count);
    virtual std::int32_t offlinePassCount();
    virtual std::int32_t offlineMetaPassCount();
    virtual void announceOutputRate(float rate);
    virtual bool requestSpeakerLayout(void* input, void* output);
    virtual bool requestHostVendor(char* text);
    virtual bool requestHostProduct(char* text);
    virtual std::int32_t requestHostVendorVersion();
    virtual HostValue requestHostSpecific(std::int32_t a, HostValue b, void* data, float f);
    virtual std::int32_t askHostCapability(char* text);
    virtual void declareInstrument(bool on);
    virtual void declareQuietTail(bool on);
    virtual std::int32_t requestHostLanguage();
    virtual void* requestWindow(void* window);
    virtual bool releaseWindow(void* window);
    virtual void* requestDirectory();
    virtual bool requestDisplayRefresh();
    virtual bool processVariableBlock(void* io);
    virtual bool acceptSpeakerLayout(void* input, void* output);
    virtual void changeBlockSizeAndRate(std::int32_t blockSize, float rate);
    virtual bool changeBypass(bool on);
    virtual bool copyEffectName(char* text);
    virtual bool copyErrorText(char* text);
    virtual bool copyVendorName(char* text);
    virtual bool copyProductName(char* text);
    virtual std::int32_t vendorVersionNumber();
    virtual HostValue handleVendorRequest(std::int32_t a, HostValue b, void* data, float f);
    virtual std::int32_t answerCapability(char* text);
    virtual void* iconHandle();
    virtual bool moveView(std::int32_t x, std::int32_t y);
    virtual std::int32_t tailLength();
    virtual std::int32_t onIdle();
    virtual bool describeParameter(std::int32_t index, void* properties);
    virtual bool needsKeys();
    virtual std::int32_t interfaceVersion();

private:
    HostValue dispatchExtended(std::int32_t opcode, std::int32_t index, HostValue value, void* data,
                               float opt);
    HostValue dispatchOffline(std::int32_t opcode, std::int32_t index, HostValue value, void* data);
    HostValue dispatchIdentity(std::int32_t opcode, std::int32_t index, HostValue value, void* data,
                               float opt);
};
