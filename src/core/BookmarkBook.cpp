#include "core/BookmarkBook.h"

namespace kelva {

BookmarkBook::BookmarkBook(TMainForm& form, NovelStory& story, StoryBookmarks& bookmarks,
                           FontRasteriser& fonts, Clock& clock, Transcript& log)
    : m_form(form),
      m_story(story),
      m_bookmarks(bookmarks),
      m_log(log),
      m_menu(fonts),
      m_book(fonts, clock, form.Windows(), m_menu, *this)
{
    m_form.SetBookmarkBook([this](bool recording) { Show(recording); });
}

BookmarkBook::~BookmarkBook()
{
    m_form.SetBookmarkBook(nullptr);
}

void BookmarkBook::Show(bool recording, std::string_view caption)
{
    if (caption.empty()) caption = recording ? "しおりに記録" : "しおりから読む";
    m_book.Caption = caption;
    recording ? m_book.PrepareRecording() : m_book.PrepareOpening();
    m_log.Event("bookmark-book", m_book.Caption);
    m_book.ShowModal();
}

void BookmarkBook::Remove(int index)
{
    if (m_bookmarks.Store().Remove(index)) m_log.Event("bookmark-remove", std::to_string(index + 1));
}

void BookmarkBook::ReadFromBeginning()
{
    m_form.StartStory();
    if (m_story.Header.BookmarkMode != 0) m_story.Counters.Assign(m_story.InitialCounters);
}

bool BookmarkBook::Confirm(std::string_view caption, std::string_view question)
{
    return m_form.Confirm(caption, question);
}

}  // namespace kelva
