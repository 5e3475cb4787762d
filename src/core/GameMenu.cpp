#include "core/GameMenu.h"

namespace kelva {

GameMenu::GameMenu(TMainForm& form, const CNovelFileHeader& header, BookmarkBook& book, FontRasteriser& fonts,
                   StageWindow& window, Transcript& log)
    : m_form(form),
      m_book(book),
      m_window(window),
      m_log(log),
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
    // Skipping runs through text and key waits; over the choices there is nothing to skip.
    PlayerState& state = m_form.State();
    if (state.Mode != PlayerMode::KeyWait) return;
    state.SkipMode = true;
    m_form.SetTimerInterval(1);
    m_log.Event("skip");
}

}  // namespace kelva
