// Recording and opening bookmarks against the running stage: a bookmark is taken from
// the page-start record, and opening one puts the stage back as that page began (or, for
// one recorded at an ending, begins the next reading).
#pragma once

#include "core/BookmarkStore.h"
#include "core/KelvaNovelRun.h"
#include "core/RunMain.h"
#include "core/Transcript.h"
#include "data/BookmarkData.h"
#include "platform/LocalTime.h"

namespace kelva {

class StoryBookmarks {
public:
    // All borrowed for the life of this object.
    StoryBookmarks(TMainForm& form, NovelStory& story, BookmarkStore& store, LocalTime& time,
                   Transcript& log);

    BookmarkStore& Store() { return m_store; }

    // The bookmark the current page would get: the page-start record, the characters as
    // of the last character change, the time now, the reading and page numbers.
    TBookmarkData Capture();
    // Records the current page into slot `index` (0 .. Count()) and rewrites the file;
    // false, after the store's message, when nothing was recorded.
    bool Record(int index);
    // Opens bookmark `index` (< Count()); other indexes do nothing.
    void Open(int index);

private:
    void StartNextReading(const TBookmarkData& bookmark);
    void RestorePage(const TBookmarkData& bookmark);

    TMainForm& m_form;
    NovelStory& m_story;
    BookmarkStore& m_store;
    LocalTime& m_time;
    Transcript& m_log;
};

}  // namespace kelva
