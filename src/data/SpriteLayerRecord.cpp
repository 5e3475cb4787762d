#include "data/SpriteLayerRecord.h"

#include <algorithm>

namespace kelva {

namespace {

std::string CutName(std::string_view text)
{
    return std::string(text.substr(0, std::min<size_t>(text.size(), kSpriteNameCapacity)));
}

}  // namespace

void TSpriteLayerRecord::SetSlot(int slot, std::string_view name, std::string_view fileName, int32_t x,
                                 int32_t y)
{
    TSpriteSlotRecord& target = Slots.at(static_cast<size_t>(slot));
    target.Name = CutName(name);
    target.FileName = CutName(fileName);
    target.X = x;
    target.Y = y;
}

void TSpriteLayerRecord::LoadFromStream(Stream& stream)
{
    // A length byte above 128 is clamped by ReadShortString, so a hostile record can never
    // give a name longer than the layer keeps.
    std::array<TSpriteSlotRecord, kSpriteSlotCount> slots;
    for (TSpriteSlotRecord& slot : slots) {
        slot.Name = stream.ReadShortString(kSpriteNameCapacity);
        slot.FileName = stream.ReadShortString(kSpriteNameCapacity);
        slot.X = stream.ReadInt32();
        slot.Y = stream.ReadInt32();
    }
    Slots = std::move(slots);
}

void TSpriteLayerRecord::SaveToStream(Stream& stream) const
{
    for (const TSpriteSlotRecord& slot : Slots) {
        stream.WriteShortString(slot.Name, kSpriteNameCapacity);
        stream.WriteShortString(slot.FileName, kSpriteNameCapacity);
        stream.WriteInt32(slot.X);
        stream.WriteInt32(slot.Y);
    }
}

}  // namespace kelva
