// A character layer: up to 16 named characters standing in front of the background, each
// with its picture, the picture's file name and a stage position. The slot number is the
// drawing order (slot 0 furthest back). A layer made with pictures loads and draws them
// (the live layer); one made without keeps only names, file names and positions (the
// snapshots kept for bookmarks), and its loading, changing and drawing calls do nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/MediaFiles.h"
#include "data/SpriteLayerRecord.h"
#include "data/Stream.h"
#include "graphics/BlendTable.h"
#include "graphics/NkDIB.h"
#include "platform/MessageBox.h"

namespace kelva {

class TSpriteLayer {
public:
    static constexpr int kSlots = kSpriteSlotCount;
    // The pixels all slot pictures may hold together: as much as one picture at the size
    // limit, or more than 50 characters the size of the stage; 48 MB at 24 bits.
    static constexpr int64_t kMaxPixels = kMaxPicturePixels;

    // `media` (where pictures are read from) and `messages` (the box shown for a 17th
    // character) are borrowed and may be null; a layer without pictures needs neither.
    TSpriteLayer(bool withPictures, MediaFiles* media, MessageBox* messages);
    TSpriteLayer(const TSpriteLayer&) = delete;
    TSpriteLayer& operator=(const TSpriteLayer&) = delete;

    bool HasPictures() const { return m_hasPictures; }

    // Frees every slot (1 x 1 picture, empty name and file name; positions stay). Does
    // nothing without pictures.
    void Clear();
    // The first slot whose name equals `name` with ASCII letters compared without regard
    // to case; -1 when none does. An empty name finds the first free slot. Names are
    // compared as stored, that is cut to 128 bytes.
    int IndexOf(std::string_view name) const;
    // Puts a character on the stage: its own slot when it exists, else the lowest free one
    // (with all 16 in use: an error box, and nothing changes). Loads the picture from the
    // package, else from disk (silently keeping the old picture when both fail or when it
    // would take the slots together past kMaxPixels), and
    // places it by the keywords "TOP", "MIDDLE", "BOTTOM" and "LEFT", "CENTER", "RIGHT"
    // (ASCII case ignored; any other word counts as "TOP" or "LEFT").
    void SetCharacter(std::string_view name, std::string_view fileName, std::string_view vertical,
                      std::string_view horizontal);
    // Frees the character's slot, if there is one.
    void DeleteCharacter(std::string_view name);

    // Draws the characters in use onto the 24-bit `target`, slot 0 first, each picture's
    // top-left pixel colour being transparent. In silhouette mode each pixel is mixed half
    // and half with the target (blend step 25). DrawClipped draws only inside `clip`
    // (right and bottom excluded).
    void DrawTo(TNkDIB& target, bool silhouette, const BlendTable& blend) const;
    void DrawClipped(TNkDIB& target, const TRect& clip, bool silhouette, const BlendTable& blend) const;

    // The 4256-byte layer record: names, file names and positions, never pictures.
    void SaveToStream(Stream& stream) const;
    // Reads a layer record and makes it this layer's state, reloading the pictures of the
    // slots in use (positions are taken as stored). A stream that ends inside the record
    // throws FormatError and leaves the layer unchanged.
    void LoadFromStream(Stream& stream);
    // The same, taking the slots from another layer or from a record.
    void Assign(const TSpriteLayer& source);
    void Assign(const TSpriteLayerRecord& record);
    // The slots as a record (what SaveToStream writes).
    const TSpriteLayerRecord& Record() const { return m_slots; }

    // Slot 0..15.
    const std::string& Name(int slot) const { return m_slots.Slots.at(static_cast<size_t>(slot)).Name; }
    const std::string& FileName(int slot) const
    {
        return m_slots.Slots.at(static_cast<size_t>(slot)).FileName;
    }
    TPoint Position(int slot) const;
    // An empty image for a layer without pictures.
    const TNkDIB& Picture(int slot) const;

private:
    void FreeSlot(int slot);
    // Reads the slot's picture by its file name: the package entry, else the disk file,
    // within what the other slots leave of kMaxPixels. Whatever happens, the slot holds a
    // 24-bit picture afterwards.
    bool LoadPicture(int slot);

    bool m_hasPictures;
    MediaFiles* m_media;
    MessageBox* m_messages;
    std::vector<TNkDIB> m_pictures;  // kSlots when m_hasPictures, else none
    TSpriteLayerRecord m_slots;
};

}  // namespace kelva
