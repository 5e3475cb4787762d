// The bookmark book: a book-like modal window showing the bookmarks as ribbons, three at a
// time, with arrows to leaf through them. In opening mode a ribbon can be opened or
// removed and reading can start from the beginning; in recording mode a "新しいしおり"
// ribbon follows the last bookmark and a ribbon can take the current page. Every action
// is confirmed through the shelf; while a question is up the book is hidden (width 0).
// The first index and the leaf step stay as they were between showings.
#pragma once

#include "platform/Clock.h"
#include "ui/BookmarkMenuForm.h"
#include "ui/BookmarkShelf.h"
#include "ui/DialogWindow.h"
#include "ui/WindowLayer.h"

namespace kelva {

class TBookmarkForm final : public DialogWindow {
public:
    static constexpr int kWidth = 549;
    static constexpr int kPlaceWidth = 140;
    static constexpr int kLeafShift = 28;
    static constexpr int kLeafIntervalMs = 55;
    static constexpr int kNoHotPlace = -200;
    static constexpr TRect kPageArea{60, 33, 493, 310};  // client pixels of the ribbons

    // All borrowed; the menu is the action menu shown over the book.
    TBookmarkForm(FontRasteriser& fonts, Clock& clock, WindowLayer& layer, TBookmarkMenuForm& menu,
                  BookmarkShelf& shelf);

    void PrepareRecording();
    void PrepareOpening();
    // Centres the book on the stage and shows it modally until it closes itself.
    void ShowModal();

    void Activated() override { DrawTitleBar(); }
    void Idle() override;

    // The leafing timer's tick, public so tests can step it.
    void TimerTimer();
    bool TimerRunning() const { return m_timerRunning; }
    int FirstIndex() const { return m_firstIndex; }
    int LeafStep() const { return m_leafStep; }
    int HotPlace() const { return m_hotPlace; }
    bool Recording() const { return m_recording; }

private:
    void DrawTitleBar();
    // The page image: the ribbons in view, drawn afresh whenever the window is drawn.
    void DrawPage();
    void DrawRibbon(int x, int index, bool highlighted);
    void PaintBoxMouseMove(int x);
    void PaintBoxMouseDown(MouseButton button, int x, int y);
    void Leaf(int direction);
    bool Ask(std::string_view caption, const std::string& question);
    void RecordInto(int index);
    void OpenFrom(int index);
    void RemoveAt(int index);
    void Finish() { ModalResult = 1; }

    FontRasteriser& m_fonts;
    Clock& m_clock;
    WindowLayer& m_layer;
    TBookmarkMenuForm& m_menu;
    BookmarkShelf& m_shelf;

    TImage m_titleBar;
    THotPaintBox m_paintBox;
    THotImage m_left;
    THotImage m_right;
    THotImage m_fromBeginning;
    THotImage m_close;
    THotImage m_cancel;
    TNkDIB m_ribbonPlain;
    TNkDIB m_ribbonHighlighted;
    TNkDIB m_page;

    int m_firstIndex = 0;
    int m_leafStep = 0;
    bool m_recording = false;
    int m_hotPlace = kNoHotPlace;
    bool m_timerRunning = false;
    int64_t m_nextTickMs = 0;
};

}  // namespace kelva
