// The bookmark action menu: the small pop-up the bookmark book shows at the pointer when a
// ribbon is clicked. It names the bookmark and answers 1 (insert the page), 2 (open it),
// 3 (remove it) or 63 (cancel, also Escape); it keeps the focus until answered and does
// nothing to the bookmarks itself.
#pragma once

#include <string_view>

#include "ui/DialogWindow.h"

namespace kelva {

class TBookmarkMenuForm final : public DialogWindow {
public:
    static constexpr int kWidth = 142;
    static constexpr int kHeight = 127;
    static constexpr int kInsert = 1;
    static constexpr int kOpen = 2;
    static constexpr int kRemove = 3;
    static constexpr int kCancel = 63;

    explicit TBookmarkMenuForm(FontRasteriser& fonts);

    // Recording form offers insert, opening form open in the same place; remove and
    // cancel are always there. The form stays until the next call.
    void PrepareRecording();
    void PrepareOpening();
    // Top-left corner at `at`, moved left or up so the whole menu stays on the stage; the
    // caption line reads `caption`.
    void Place(TPoint at, std::string_view caption);

    bool KeyDown(Key key) override;

    bool OffersInsert() const { return m_insert.Visible; }
    bool OffersOpen() const { return m_open.Visible; }

private:
    void MakeAction(THotImage& button, int top, std::string_view caption, int result);

    FontRasteriser& m_fonts;
    THotPaintBox m_frame;
    TLabel m_caption;
    THotImage m_insert;
    THotImage m_open;
    THotImage m_remove;
    THotImage m_cancel;
};

}  // namespace kelva
