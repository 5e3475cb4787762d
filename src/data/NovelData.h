// The novel file: header, counter block (NovelCounters.h) and item block, one after the
// other. All little-endian; text is CP932.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/NovelCounters.h"
#include "data/Stream.h"

namespace kelva {

// The only novel file version the player runs, and the layout SaveToStream writes.
inline constexpr int32_t kNovelFileVersion = 7;
inline constexpr int kNovelFileHeaderSize = 2483;  // a version 7 header on disk

// The story-wide settings. Fields the player doesn't use are kept (named after their
// offset in a version 7 file) so the authoring tool can write a file back unchanged.
// Colours are 0x00BBGGRR.
struct CNovelFileHeader {
    std::string Magic = "KelvaNovel WorkFile";  // string[32]; not checked on reading
    int32_t Version = kNovelFileVersion;
    int32_t Unused37 = 0;
    int32_t Unused41 = 0;
    std::string StartItem;     // string[255] each, as are the other names below
    std::string LogoPicture;   // empty: no logo screen picture
    std::string TitlePicture;  // empty: the title text is drawn instead
    std::string TitleMusic;    // MIDI, looping on the title screen; empty: none
    std::string Unused1069;
    int32_t Unused1325 = 0;
    std::string Unused1329;
    uint8_t Unused1585 = 0;

    // From version 2.
    std::string Title;      // empty: the runtime's own caption
    std::string LogoMusic;  // MIDI, played once on the logo screen; empty: none
    std::string Unused2098;
    int32_t FrameInterval = 30;  // ms per stage tick while reading
    int32_t Unused2358 = 1;
    int32_t BgEffectParam = 0;  // 0 is taken as 1
    int32_t BgEffectTime = 500;
    uint8_t BookmarkMode = 0;  // 0 none, 1 from the game menu, 2 also title screen and endings
    uint8_t Unused2371 = 0;
    int32_t FontKind = 0;       // 0 proportional gothic regular, 1 proportional mincho bold
    int32_t FontHeight = 28;    // pixels
    int32_t TextEdgeStyle = 0;  // 0 outline, otherwise drop shadow
    bool SmoothText = true;
    uint32_t TextColor = 0xFFFFFF;
    uint32_t EdgeColor = 0;
    uint32_t ChoiceBoxColor = 0x0000FF;
    uint32_t Unused2397 = 0xFFFF00;

    // From version 4.
    std::string BgEffect = "BLIND";   // string[32]
    std::string CharEffect = "NONE";  // string[32]
    int32_t CharEffectParam = 0;
    int32_t CharEffectTime = 500;
    bool StartWindowed = false;
    bool DisplayModeChoice = true;
    bool Only16BitColour = false;
    bool MidiSkipLeadIn = true;
    bool MidiGmOn = false;
    bool MidiGsReset = false;

    // From version 6.
    uint8_t SkipMode = 2;  // 0: no skip control in the game menu
    // From version 7.
    bool UsesMp3 = false;

    // Resets every field to its default, then reads the groups that the file's Version
    // has; later fields keep their defaults. Throws FormatError when the stream ends
    // inside the header (the header is unchanged then).
    void LoadFromStream(Stream& stream);
    // Writes a version 7 header (2483 bytes, Version written as 7 whatever it holds, so
    // the file always describes its own layout); string fields are zero-padded.
    void SaveToStream(Stream& stream) const;
};

struct CNovelLink {
    bool Enabled = false;
    std::string Caption;  // the choice text of a menu link
    std::string Target;   // name of the item reading continues with
    bool Conditional = false;
    std::string Counter;
    int32_t Threshold = 1;
};

// What happens when an item's text is finished.
inline constexpr uint8_t kItemMenuLink = 0;  // the reader chooses among the links
inline constexpr uint8_t kItemAutoLink = 1;  // the highest-numbered link that holds is taken
inline constexpr uint8_t kItemEnd = 2;       // the story ends

inline constexpr int kLinksPerItem = 8;

struct CNovelItem {
    CNovelItem() { Links[0].Enabled = true; }

    std::string Name = "NewItem";
    int32_t EditorX = 0;  // position in the authoring tool's map; unused by the player
    int32_t EditorY = 0;
    std::vector<std::string> Lines;  // the script text, one entry per line
    uint8_t Kind = kItemMenuLink;
    std::array<CNovelLink, kLinksPerItem> Links;
};

// The story's items in file order; an item's index is its number for the interpreter,
// the bookmarks and the debug jump window.
class CNovelItems {
public:
    static constexpr int kMaxItems = 2048;

    // Replaces the list with the item block in the stream. Throws FormatError for a count
    // that is negative or above 2048, a negative length, or a stream that ends inside the
    // block; the list is unchanged then.
    void LoadFromStream(Stream& stream);
    // Writes the item block; each item's text is its lines, each ended by CR LF.
    void SaveToStream(Stream& stream) const;

    // Index of the LAST item named exactly `name` (byte for byte), or -1.
    int IndexOf(std::string_view name) const;
    void Clear() { m_items.clear(); }
    // Appends an item with the defaults; nullptr when the list already holds 2048.
    CNovelItem* Add();

    int Count() const { return static_cast<int>(m_items.size()); }
    // Access by index, 0 to Count()-1; a bad index throws std::out_of_range.
    CNovelItem& operator[](int index) { return m_items.at(static_cast<size_t>(index)); }
    const CNovelItem& operator[](int index) const { return m_items.at(static_cast<size_t>(index)); }

private:
    std::vector<CNovelItem> m_items;
};

// A whole novel file: the header (version 7), the counter block and the item block.
std::vector<uint8_t> NovelFileBytes(const CNovelFileHeader& header, const CNovelCounters& counters,
                                    const CNovelItems& items);

// Whether a link holds: it is Enabled, and either not Conditional or the counter it names
// exists in `counters` with a Value of at least Threshold.
bool LinkHolds(const CNovelLink& link, const CNovelCounters& counters);

}  // namespace kelva
