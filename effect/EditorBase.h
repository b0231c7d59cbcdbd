// The plain editor interface the effect's dispatcher talks to. Graphical editors derive from it.
#pragma once

#include <atomic>
#include <cstdint>

class EffectBase;

// The host's editor rectangle, in pixels.
struct EditorRect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

class EditorBase {
public:
    explicit EditorBase(EffectBase* effect);
    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;
    virtual ~EditorBase();

    virtual std::int32_t queryRect(EditorRect** rect);
    virtual std::int32_t open(void* systemWindow);
    virtual void close();
    virtual void idle();
    virtual void update();
    virtual void requestUpdate();

    EffectBase* getEffect() const { return effect; }
    void* parentWindow() const { return systemWindow; }
    bool isUpdatePending() const { return updatePending.load(std::memory_order_relaxed) != 0; }

protected:
    EffectBase* effect;
    void* systemWindow = nullptr;
    // Raised from host parameter threads, consumed on the editor's thread.
    std::atomic<std::int32_t> updatePending{0};
};
