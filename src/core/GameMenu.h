// The game menu wired to the running stage: the stage form opens it on a right click while
// the story waits for a click or offers its choices, and its buttons act on the stage, the
// bookmark book and the display.
#pragma once

#include "core/BookmarkBook.h"
#include "core/RunMain.h"
#include "ui/MenuForm.h"

namespace kelva {

class GameMenu final : private GameMenuHost {
public:
    // All borrowed for the life of this object; it hooks itself into the form. The rows
    // are chosen from `header` once, here.
    GameMenu(TMainForm& form, const CNovelFileHeader& header, BookmarkBook& book, FontRasteriser& fonts,
             StageWindow& window);
    ~GameMenu() override;

    TMenuForm& Form() { return m_menu; }

private:
    bool FullScreen() const override { return m_form.FullScreen(); }
    void MenuOpened() override { m_window.SetPointer(Pointer::Arrow); }
    void MenuClosed() override;
    void ShowBookmarkBook(bool recording, std::string_view caption) override
    {
        m_book.Show(recording, caption);
    }
    void SwitchDisplay(bool fullScreen) override { m_form.SwitchDisplay(fullScreen); }
    void FastForward() override;
    bool Confirm(std::string_view caption, std::string_view question) override
    {
        return m_form.Confirm(caption, question);
    }
    void CloseStage() override { m_form.FormClose(); }

    TMainForm& m_form;
    BookmarkBook& m_book;
    StageWindow& m_window;
    TMenuForm m_menu;
};

}  // namespace kelva
