// The state of a character layer without its pictures: 16 slots, each a character name, the
// picture file it came from and a stage position. This is what a snapshot layer keeps and
// what every bookmark stores, as a fixed 4256-byte layer record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/Stream.h"

namespace kelva {

inline constexpr int kSpriteSlotCount = 16;
inline constexpr int kSpriteNameCapacity = 128;  // bytes of a name or file name
inline constexpr int kSpriteSlotRecordSize = 2 * (kSpriteNameCapacity + 1) + 8;          // 266
inline constexpr int kSpriteLayerRecordSize = kSpriteSlotCount * kSpriteSlotRecordSize;  // 4256

// One slot. The slot number is the drawing order (slot 0 furthest back); a slot is in use
// exactly when its name is not empty.
struct TSpriteSlotRecord {
    std::string Name;      // CP932, at most 128 bytes
    std::string FileName;  // package entry or disk file name, CP932, at most 128 bytes
    int32_t X = 0;         // top-left corner in stage pixels; may be negative or off the stage
    int32_t Y = 0;

    bool InUse() const { return !Name.empty(); }
    bool operator==(const TSpriteSlotRecord&) const = default;
};

// Record layout, per slot in slot order, no header: name string[128], file name
// string[128], int32 X, int32 Y (266 bytes; little-endian).
struct TSpriteLayerRecord {
    std::array<TSpriteSlotRecord, kSpriteSlotCount> Slots;

    // Stores a slot; the name and file name are cut to their first 128 bytes.
    void SetSlot(int slot, std::string_view name, std::string_view fileName, int32_t x, int32_t y);
    // Empties every slot (names, file names and positions).
    void Clear() { Slots = {}; }

    // Reads a 4256-byte record. Throws FormatError when the stream ends inside it; the
    // slots are unchanged then. Only the used bytes of each name are kept.
    void LoadFromStream(Stream& stream);
    // Writes the 4256-byte record; the bytes after each name are zero.
    void SaveToStream(Stream& stream) const;

    bool operator==(const TSpriteLayerRecord&) const = default;
};

}  // namespace kelva
