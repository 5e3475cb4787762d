#include "core/GameMenu.h"

namespace kelva {

GameMenu::GameMenu(TMainForm& form, const CNovelFileHeader& header, BookmarkBook& book, FontRasteriser& fonts,
                   StageWindow& window)
    : m_form(form),
      m_book(book),
      m_window(window),
      m_menu(fonts, form.Windows(), *this,
             MenuRows{header.BookmarkMode, header.DisplayModeChoice, header.SkipMode})
{
    m_form.SetGameMenu([this] { m_menu.Popup(); });
}

GameMenu::~GameMenu()
{
    m_form.SetGameMenu(nullptr);
}

void GameMenu::MenuClosed()
{
    // Full screen, reading hides the pointer again; over the choices it stays.
    if (m_form.FullScreen() && m_form.State().Mode != PlayerMode::Link) m_window.SetPointer(Pointer::Hidden);
}

void GameMenu::FastForward()
{
    m_form.Skip().Start();
}

}  // namespace kelva
