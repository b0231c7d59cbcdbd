#include "platform/HandleTable.h"

namespace win32layer {

HandleTable::HandleTable(uint32_t tag) : tag_(tag | 1u) {}

uintptr_t HandleTable::handleOf(size_t index) const {
    const Slot& slot = slots_[index];
    const uint32_t low = (static_cast<uint32_t>(slot.object->kind()) << 28) |
                         (static_cast<uint32_t>(slot.generation & generationMask) << 16) |
                         static_cast<uint32_t>(index);
    if constexpr (sizeof(uintptr_t) > 4)
        return (static_cast<uintptr_t>(tag_) << 32) | low;
    return low;
}

bool HandleTable::decode(uintptr_t handle, size_t& index) const {
    if constexpr (sizeof(uintptr_t) > 4) {
        if (static_cast<uint32_t>(static_cast<uint64_t>(handle) >> 32) != tag_)
            return false;
    }
    const auto low = static_cast<uint32_t>(handle);
    index = low & 0xFFFF;
    if (index >= slots_.size())
        return false;
    const Slot& slot = slots_[index];
    if (!slot.object)
        return false;
    const auto generation = static_cast<uint16_t>((low >> 16) & generationMask);
    const auto kind = static_cast<ObjectKind>(low >> 28);
    return generation == (slot.generation & generationMask) && kind == slot.object->kind();
}

uintptr_t HandleTable::insert(std::unique_ptr<LayerObject> object) {
    size_t index;
    // Free slots are reused oldest first, so a slot's generation wraps as late as possible.
    if (nextFree_ < freeSlots_.size()) {
        index = freeSlots_[nextFree_++];
        if (nextFree_ > 1024 && nextFree_ * 2 > freeSlots_.size()) {
            freeSlots_.erase(freeSlots_.begin(), freeSlots_.begin() + nextFree_);
            nextFree_ = 0;
        }
    } else if (slots_.size() < maxSlots) {
        index = slots_.size();
        slots_.emplace_back();
    } else {
        return 0;
    }
    slots_[index].object = std::move(object);
    return handleOf(index);
}

LayerObject* HandleTable::find(uintptr_t handle) const {
    size_t index;
    return decode(handle, index) ? slots_[index].object.get() : nullptr;
}

LayerObject* HandleTable::find(uintptr_t handle, ObjectKind kind) const {
    LayerObject* object = find(handle);
    return object && object->kind() == kind ? object : nullptr;
}

std::unique_ptr<LayerObject> HandleTable::remove(uintptr_t handle) {
    size_t index;
    if (!decode(handle, index))
        return nullptr;
    Slot& slot = slots_[index];
    std::unique_ptr<LayerObject> object = std::move(slot.object);
    slot.generation = static_cast<uint16_t>(slot.generation + 1);
    if ((slot.generation & generationMask) == 0)
        slot.generation = 1;
    freeSlots_.push_back(static_cast<uint32_t>(index));
    return object;
}

size_t HandleTable::liveCount(ObjectKind kind) const {
    size_t count = 0;
    for (const Slot& slot : slots_)
        if (slot.object && slot.object->kind() == kind && !slot.object->stock)
            ++count;
    return count;
}

} // namespace win32layer
