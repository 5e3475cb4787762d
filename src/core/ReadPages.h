// The reader's record of the pages of one game already read, kept between runs in
// "$XDG_STATE_HOME/kelvanovelrun/<game>.read". A page is the text from where typing
// starts (a new item, the end of a key wait, an opened bookmark) to its key wait or the
// item's end; it counts as read once that end is reached. The record is written at the
// end of an item, at most every kSaveGapMs, and when the stage closes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "core/PlayerState.h"
#include "data/NovelData.h"
#include "data/ReadPagesFile.h"

namespace kelva {

// The record's file for the game whose bookmark file is `bookmarkFile` (its name stem
// names the game); empty when the user has no state folder.
std::string ReadPagesPath(const std::string& bookmarkFile);

class ReadPages {
public:
    static constexpr int64_t kSaveGapMs = 10000;
    using Warn = std::function<void(const std::string&)>;

    // Kept in the file `path`; an empty path keeps the record in memory only. `warn`
    // reports a file that can't be read or written.
    ReadPages(std::string path, Warn warn);

    // Reads the file when there is one. A file that can't be read whole is reported and
    // set aside as "<path>.damaged", and the record starts empty; when it can't even be
    // set aside, the record is not written this run so the file is never lost.
    void Load();

    // Typing starts at `position` of `item` (null: no item, nothing is recorded).
    void TextBegins(const CNovelItem* item, ReadingPosition position);
    // The page begun last reached its key wait or its item's end.
    void TextEnds();
    // Whether the page begun last had been read before it began.
    bool CurrentRead() const { return m_currentRead; }

    // Writes the record when pages were added and the last write is kSaveGapMs ago.
    void SaveIfDue(int64_t nowMs);
    // Writes the record when pages were added since the last write.
    void Save();

    size_t Count() const { return m_pages.size(); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    Warn m_warn;
    std::set<ReadPage> m_pages;
    std::optional<ReadPage> m_current;  // begun and not yet ended
    bool m_currentRead = false;
    bool m_changed = false;
    bool m_writable = true;
    bool m_writeFailed = false;
    std::optional<int64_t> m_lastSave;
};

}  // namespace kelva
