// The game's bookmarks as kept on disk: where the bookmark file lives, reading it at
// start-up without giving up on a damaged file, and rewriting it after every change so
// that neither a failed write nor a crash ever loses a bookmark.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/AtomicFile.h"
#include "data/BookmarkData.h"
#include "platform/MessageBox.h"

namespace kelva {

// Where the bookmark file is read from and written to. The two differ only the first
// time the user's data folder stands in for a game folder that can't be written.
struct BookmarkLocation {
    std::string ReadPath;
    std::string WritePath;

    // For the log: the file used, and the one read when that is another.
    std::string Describe() const;
};

// True when files can be created in the folder of `filePath`.
bool FolderWritable(const std::string& filePath);

// The file beside the game when its folder is writable; otherwise the same file name in
// "$XDG_DATA_HOME/kelvanovelrun" (default "~/.local/share/kelvanovelrun"), read from
// beside the game until it exists there.
BookmarkLocation ChooseBookmarkLocation(const std::string& gamePath, bool gameFolderWritable);

class BookmarkStore {
public:
    BookmarkStore(BookmarkLocation location, MessageBox& messages);

    // Reads the bookmark file, if there is one. A damaged file gives the bookmarks before
    // the damage, a list of more than 50 its first 50; either is reported here, once, and
    // the file as it was is kept aside as "<name>.damaged" before it is first replaced.
    void Load();

    const TBookmarkList& List() const { return m_list; }
    int Count() const { return m_list.Count(); }
    const BookmarkLocation& Location() const { return m_location; }

    // Puts `bookmark` into slot `index` (Count() appends) and rewrites the file. False,
    // after a message, for a 51st bookmark, a bad index or a failed write; the list and
    // the file are then as they were. When another copy of the game has rewritten the
    // file meanwhile, nothing is written and the list is read again from the file.
    bool Record(int index, const TBookmarkData& bookmark);
    // Removes bookmark `index` and rewrites the file; false as for Record.
    bool Remove(int index);

private:
    bool Rewrite(std::vector<uint8_t> previous);
    bool KeepDamagedFile();
    void Report(const std::string& text);

    BookmarkLocation m_location;
    MessageBox& m_messages;
    TBookmarkList m_list;
    // The file as read when it did not read whole; set aside before it is written over.
    std::optional<std::vector<uint8_t>> m_damaged;
    // The file could not be read at all (too large, no access): moved aside instead.
    bool m_unread = false;
    // The file as last read or written; a rewrite over any other version is refused.
    FileVersion m_version;
};

}  // namespace kelva
