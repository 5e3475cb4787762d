// The bookmark store: saved reading positions (しおり) and the bookmark file that holds all
// of a game's bookmarks. A bookmark keeps what is needed to rebuild the stage as it was at
// the start of a page: item and reading position, counters, background, music, sound, CD
// track and the characters on stage.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/NovelCounters.h"
#include "data/SpriteLayerRecord.h"
#include "data/Stream.h"
#include "platform/LocalTime.h"

namespace kelva {

// Version of the records and of the file as written. Version 1 records lack the trailing
// counted string and the CD track; version 2 records lack the CD track.
inline constexpr int kBookmarkVersion = 3;
inline constexpr int kMaxBookmarks = 50;
// The file's magic field: string[32] holding "KelvaNovel BookMarkFile", padded with spaces.
inline constexpr std::string_view kBookmarkMagic = "KelvaNovel BookMarkFile";
inline constexpr int kBookmarkMagicCapacity = 32;
inline constexpr int kBookmarkItemNameCapacity = 255;
inline constexpr int kBookmarkTextCapacity = 128;  // Background, Music, Sound, Label, DateText

// The stored date: days since 30 December 1899, the fraction being the time of day. Before
// that day the whole part counts back and the fraction still counts forward from midnight
// in absolute value (-1.25 is 29 December 1899, 06:00), as every writer of the format did.
double EncodeSavedDate(const TLocalDateTime& time);
// Rounded to the nearest millisecond, then cut to whole seconds. nullopt for a value that
// is no date between the years 1 and 9999 (a broken or hostile file: NaN, infinity, 1e300).
std::optional<TLocalDateTime> DecodeSavedDate(double saved);

// "yyyy/m/d h:nn.ss": no leading zeros in month, day and hour; two digits for minutes and
// seconds. Empty for a value that is no date.
std::string BookmarkDateText(double saved);
// "<play>回目 <page>ページ", or "<play>回目 クリア" when the page is negative (recorded at an
// ending). CP932.
std::string BookmarkLabel(int32_t playNumber, int32_t page);

// Where the page being read began: a 1-based byte position in the item's 0-based line.
struct TBookmarkPosition {
    int32_t Character = 1;
    int32_t Line = 0;
    bool operator==(const TBookmarkPosition&) const = default;
};

// One bookmark. All text fields are CP932. String fields longer than their stored capacity
// are cut when written.
struct TBookmarkData {
    int16_t Version = kBookmarkVersion;  // the layout of the record last read; 3 once written
    std::string ItemName;                // the item being read, at most 255 bytes
    TBookmarkPosition Position;
    CNovelCounters Counters;     // the counters at the start of the page
    std::string Background;      // background picture on stage
    std::string Music;           // MIDI file playing at the start of the page; empty: none
    std::string Sound;           // sound still playing at the start of the page; empty: none
    TSpriteLayerRecord Sprites;  // the characters on stage
    int32_t CdTrack = 0;         // CD track playing; 0 or less: none
    double Saved = 0;            // local date and time of recording (EncodeSavedDate)
    std::string Label;           // BookmarkLabel(PlayNumber, Page)
    std::string DateText;        // BookmarkDateText(Saved)
    int32_t PlayNumber = 0;      // 1 for the first reading, one more for each new reading
    int32_t Page = 0;            // pages begun in this reading; -1 at an ending

    // Sets Label and DateText from PlayNumber, Page and Saved.
    void UpdateTexts();

    // Reads one record, the fields its own Version has: a record of version 1 or lower has
    // neither the trailing counted string nor CdTrack (which is then 0), version 2 has no
    // CdTrack. Throws FormatError for a stream that ends inside the record or an impossible
    // counter block; the bookmark is unchanged then.
    void LoadFromStream(Stream& stream);
    // Sets Version to 3 and writes the record. Write failures throw FormatError.
    void SaveToStream(Stream& stream);
};

// The bookmarks of one game, in order: index i is bookmark number i + 1. Holds at most 50.
class TBookmarkList {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsFull() const { return Count() >= kMaxBookmarks; }
    // Bookmark by index, 0 to Count()-1; a bad index throws std::out_of_range. References
    // stay valid until that bookmark is deleted.
    TBookmarkData& operator[](int index) { return *m_items.at(static_cast<size_t>(index)); }
    const TBookmarkData& operator[](int index) const { return *m_items.at(static_cast<size_t>(index)); }

    // Appends a new empty bookmark and returns it; nullptr when the list already holds 50.
    TBookmarkData* Add();
    // Removes bookmark `index` and closes the gap; other indexes do nothing.
    void Delete(int index);
    void Clear() { m_items.clear(); }
    // The bookmark to record into slot `index`: an existing one (to be replaced, keeping its
    // number) or, for index == Count(), a new one appended. nullptr for any other index and
    // when a new one would be the 51st.
    TBookmarkData* RecordSlot(int index);

    // Replaces the list with the one in the stream: magic (33 bytes) and version (4 bytes),
    // neither compared, then an int32 count and that many records. Throws FormatError for a
    // count that is negative or above 50 and for a broken record (naming it); the list is
    // unchanged then.
    void LoadFromStream(Stream& stream);
    // Replaces the list with as much of the stream as is whole: the records before the
    // first broken one, and at most the first 50 of a list declaring more. Returns what
    // kept the rest from being read (CP932), or an empty text when the list read whole.
    std::string LoadReadable(Stream& stream);
    // Writes magic, version 3, count and every bookmark.
    void SaveToStream(Stream& stream);

private:
    std::vector<std::unique_ptr<TBookmarkData>> m_items;
};

}  // namespace kelva
