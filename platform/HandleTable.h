// Table of the layer's objects, reached through typed, generational handle values.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace win32layer {

enum class ObjectKind : uint8_t {
    none = 0,
    deviceContext = 1,
    bitmap = 2,
    pen = 3,
    brush = 4,
    font = 5,
    window = 6,
    cursor = 7,
    menu = 8,
};

class LayerObject {
public:
    explicit LayerObject(ObjectKind kind) : kind_(kind) {}
    virtual ~LayerObject() = default;
    LayerObject(const LayerObject&) = delete;
    LayerObject& operator=(const LayerObject&) = delete;

    ObjectKind kind() const { return kind_; }
    // Stock objects live as long as the layer and are never counted as leaks.
    bool stock = false;
    // How many device contexts hold this object selected; such an object cannot be deleted.
    int selectedCount = 0;

private:
    ObjectKind kind_;
};

// A handle packs the object's kind, a generation and a slot index into its low 32 bits; on 64-bit
// systems the high half carries a tag of this table, so that a handle from another table or an
// arbitrary pointer is rejected. A slot's generation changes whenever its object dies, so a stale
// handle never reaches the object that reuses the slot.
class HandleTable {
public:
    explicit HandleTable(uint32_t tag);

    // Returns 0 when the table is full.
    uintptr_t insert(std::unique_ptr<LayerObject> object);
    LayerObject* find(uintptr_t handle) const;
    LayerObject* find(uintptr_t handle, ObjectKind kind) const;
    template <typename T> T* get(uintptr_t handle) const {
        return static_cast<T*>(find(handle, T::objectKind));
    }
    // Takes the object out of the table; the caller lets it die.
    std::unique_ptr<LayerObject> remove(uintptr_t handle);

    size_t liveCount(ObjectKind kind) const;

    template <typename F> void forEach(ObjectKind kind, F&& visit) const {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].object && slots_[i].object->kind() == kind)
                visit(handleOf(i), *slots_[i].object);
    }

private:
    struct Slot {
        uint16_t generation = 1;
        std::unique_ptr<LayerObject> object;
    };
    static constexpr size_t maxSlots = 0x10000;
    static constexpr uint16_t generationMask = 0x0FFF;

    bool decode(uintptr_t handle, size_t& index) const;
    uintptr_t handleOf(size_t index) const;

    uint32_t tag_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> freeSlots_;
    size_t nextFree_ = 0;
};

} // namespace win32layer
