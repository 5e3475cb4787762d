// The bookmark book and its action menu wired to the running story: the title click and
// the endings show it through the stage form, and what the reader chooses in it is
// recorded, opened or removed through the story's bookmarks.
#pragma once

#include "core/StoryBookmarks.h"
#include "ui/BookmarkForm.h"
#include "ui/BookmarkMenuForm.h"

namespace kelva {

class BookmarkBook final : private BookmarkShelf {
public:
    // All borrowed for the life of this object; it hooks itself into the form.
    BookmarkBook(TMainForm& form, NovelStory& story, StoryBookmarks& bookmarks, FontRasteriser& fonts,
                 Clock& clock, Transcript& log);
    ~BookmarkBook() override;

    // Opening mode for choosing where to read from, or recording mode for the page now;
    // the book's caption says which, or is `caption` when one is given.
    void Show(bool recording, std::string_view caption = {});
    TBookmarkForm& Form() { return m_book; }

private:
    int Count() const override { return m_bookmarks.Store().Count(); }
    std::string Label(int index) const override { return m_bookmarks.Store().List()[index].Label; }
    std::string DateText(int index) const override { return m_bookmarks.Store().List()[index].DateText; }
    bool Record(int index) override { return m_bookmarks.Record(index); }
    void Open(int index) override { m_bookmarks.Open(index); }
    void Remove(int index) override;
    void ReadFromBeginning() override;
    void CloseStage() override { m_form.FormClose(); }
    bool Confirm(std::string_view caption, std::string_view question) override;

    TMainForm& m_form;
    NovelStory& m_story;
    StoryBookmarks& m_bookmarks;
    Transcript& m_log;
    TBookmarkMenuForm m_menu;
    TBookmarkForm m_book;
};

}  // namespace kelva
