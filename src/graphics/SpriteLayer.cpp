#include "graphics/SpriteLayer.h"

#include <algorithm>
#include <exception>

#include "data/ShiftJis.h"
#include "graphics/BitmapFiles.h"
#include "platform/Window.h"

namespace kelva {

namespace {

// The see-through draw of silhouette mode mixes half and half.
constexpr int kSilhouetteStep = 25;

const char kCaption[] = "Kelva! Novel Runtime";
const char kTooManyCharacters[] = "キャラクターは16枚までしか使用できません";

TNkDIB FreePicture()
{
    return TNkDIB(1, 1, 24);
}

// The drawing routines read three bytes a pixel, so a picture must be 24-bit whatever a
// failed or odd read left in it.
void MakeTrueColour(TNkDIB& picture)
{
    if (picture.BitCount() == 24) return;
    try {
        picture.SetBitCount(24);
    } catch (const std::exception&) {
        picture = FreePicture();
    }
}

std::string_view CutName(std::string_view name)
{
    return name.substr(0, std::min<size_t>(name.size(), kSpriteNameCapacity));
}

}  // namespace

TSpriteLayer::TSpriteLayer(bool withPictures, MediaFiles* media, MessageBox* messages)
    : m_hasPictures(withPictures), m_media(media), m_messages(messages)
{
    if (m_hasPictures) m_pictures.assign(kSlots, FreePicture());
}

TPoint TSpriteLayer::Position(int slot) const
{
    const TSpriteSlotRecord& record = m_slots.Slots.at(static_cast<size_t>(slot));
    return {record.X, record.Y};
}

const TNkDIB& TSpriteLayer::Picture(int slot) const
{
    static const TNkDIB kNoPicture;
    if (!m_hasPictures) return kNoPicture;
    return m_pictures.at(static_cast<size_t>(slot));
}

void TSpriteLayer::FreeSlot(int slot)
{
    TSpriteSlotRecord& record = m_slots.Slots[static_cast<size_t>(slot)];
    record.Name.clear();
    record.FileName.clear();
    m_pictures[static_cast<size_t>(slot)] = FreePicture();
}

void TSpriteLayer::Clear()
{
    if (!m_hasPictures) return;
    for (int slot = 0; slot < kSlots; ++slot) FreeSlot(slot);
}

int TSpriteLayer::IndexOf(std::string_view name) const
{
    // Stored names are cut to 128 bytes, so a longer name must be cut the same way to
    // find its own slot again.
    const std::string wanted = UpperCaseAscii(CutName(name));
    for (int slot = 0; slot < kSlots; ++slot) {
        if (UpperCaseAscii(m_slots.Slots[static_cast<size_t>(slot)].Name) == wanted) return slot;
    }
    return -1;
}

void TSpriteLayer::SetCharacter(std::string_view name, std::string_view fileName, std::string_view vertical,
                                std::string_view horizontal)
{
    if (!m_hasPictures) return;
    int slot = IndexOf(name);
    if (slot < 0) slot = IndexOf("");
    if (slot < 0) {
        if (m_messages) m_messages->Show(kCaption, kTooManyCharacters, MessageIcon::Error);
        return;
    }

    m_slots.SetSlot(slot, name, fileName, 0, 0);
    LoadPicture(slot);

    // Placed from whatever picture the slot holds now, even when loading failed.
    const TNkDIB& picture = m_pictures[static_cast<size_t>(slot)];
    const int width = picture.Width();
    const int height = picture.Height();
    TSpriteSlotRecord& record = m_slots.Slots[static_cast<size_t>(slot)];
    const std::string v = UpperCaseAscii(vertical);
    if (v == "MIDDLE") {
        record.Y = kStageHeight / 2 - height / 2;
    } else if (v == "BOTTOM") {
        record.Y = kStageHeight - height;
    }
    const std::string h = UpperCaseAscii(horizontal);
    if (h == "CENTER") {
        record.X = kStageWidth / 2 - width / 2;
    } else if (h == "RIGHT") {
        record.X = kStageWidth - width;
    }
}

void TSpriteLayer::DeleteCharacter(std::string_view name)
{
    if (!m_hasPictures) return;
    const int slot = IndexOf(name);
    if (slot >= 0) FreeSlot(slot);
}

bool TSpriteLayer::LoadPicture(int slot)
{
    TNkDIB& picture = m_pictures[static_cast<size_t>(slot)];
    const std::string& name = m_slots.Slots[static_cast<size_t>(slot)].FileName;
    int64_t budget = kMaxPixels;
    for (int other = 0; other < kSlots; ++other) {
        const TNkDIB& held = m_pictures[static_cast<size_t>(other)];
        if (other != slot && m_slots.Slots[static_cast<size_t>(other)].InUse())
            budget -= static_cast<int64_t>(held.Width()) * held.Height();
    }
    // Any failure is silent; the image reader leaves the old picture in place.
    const bool loaded = LoadBitmapPicture(m_media, name, picture, budget);
    MakeTrueColour(picture);
    return loaded;
}

void TSpriteLayer::DrawTo(TNkDIB& target, bool silhouette, const BlendTable& blend) const
{
    DrawClipped(target, target.BoundsRect(), silhouette, blend);
}

void TSpriteLayer::DrawClipped(TNkDIB& target, const TRect& clip, bool silhouette,
                               const BlendTable& blend) const
{
    if (!m_hasPictures || target.BitCount() != 24) return;
    const TRect bounds = clip.Intersect(target.BoundsRect());
    if (bounds.IsEmpty()) return;

    for (int slot = 0; slot < kSlots; ++slot) {
        const TSpriteSlotRecord& record = m_slots.Slots[static_cast<size_t>(slot)];
        const TNkDIB& picture = m_pictures[static_cast<size_t>(slot)];
        if (!record.InUse() || picture.IsEmpty() || picture.BitCount() != 24) continue;

        // In 64 bits: a stored position may be anything a bookmark file held.
        const int64_t x = record.X;
        const int64_t y = record.Y;
        const int top = static_cast<int>(std::max<int64_t>(y, bounds.Top));
        const int bottom = static_cast<int>(std::min<int64_t>(y + picture.Height(), bounds.Bottom));
        const int left = static_cast<int>(std::max<int64_t>(x, bounds.Left));
        const int right = static_cast<int>(std::min<int64_t>(x + picture.Width(), bounds.Right));
        if (top >= bottom || left >= right) continue;

        const uint8_t* key = picture.ScanLine(0);
        const uint8_t key0 = key[0], key1 = key[1], key2 = key[2];
        const size_t count = static_cast<size_t>(right - left);
        for (int ty = top; ty < bottom; ++ty) {
            const uint8_t* from = picture.ScanLine(static_cast<int>(ty - y)) + (left - x) * 3;
            uint8_t* to = target.ScanLine(ty) + static_cast<size_t>(left) * 3;
            if (silhouette) {
                for (size_t i = 0; i < count; ++i, from += 3, to += 3) {
                    if (from[0] == key0 && from[1] == key1 && from[2] == key2) continue;
                    to[0] = blend.Mix(kSilhouetteStep, from[0], to[0]);
                    to[1] = blend.Mix(kSilhouetteStep, from[1], to[1]);
                    to[2] = blend.Mix(kSilhouetteStep, from[2], to[2]);
                }
            } else {
                for (size_t i = 0; i < count; ++i, from += 3, to += 3) {
                    if (from[0] == key0 && from[1] == key1 && from[2] == key2) continue;
                    to[0] = from[0];
                    to[1] = from[1];
                    to[2] = from[2];
                }
            }
        }
    }
}

void TSpriteLayer::SaveToStream(Stream& stream) const
{
    m_slots.SaveToStream(stream);
}

void TSpriteLayer::LoadFromStream(Stream& stream)
{
    // The whole record is read before anything changes, so a short stream leaves the
    // layer as it was.
    TSpriteLayerRecord record;
    record.LoadFromStream(stream);
    Assign(record);
}

void TSpriteLayer::Assign(const TSpriteLayer& source)
{
    Assign(source.m_slots);
}

void TSpriteLayer::Assign(const TSpriteLayerRecord& record)
{
    TSpriteLayerRecord copy = record;  // `record` may be this layer's own
    Clear();
    for (int slot = 0; slot < kSlots; ++slot) {
        const TSpriteSlotRecord& entry = copy.Slots[static_cast<size_t>(slot)];
        m_slots.SetSlot(slot, entry.Name, entry.FileName, entry.X, entry.Y);
    }
    if (!m_hasPictures) return;
    for (int slot = 0; slot < kSlots; ++slot) {
        const TSpriteSlotRecord& entry = m_slots.Slots[static_cast<size_t>(slot)];
        // A free slot keeps its 1 x 1 picture even if the record names a file for it:
        // it is never drawn, and reading the file would only cost time.
        if (entry.InUse() && !entry.FileName.empty()) LoadPicture(slot);
    }
}

}  // namespace kelva
