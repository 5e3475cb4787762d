#include "ui/BookmarkForm.h"

#include <cstdio>
#include <cstdlib>

#include "graphics/AntiAliasTextout.h"
#include "ui/BookArtwork.h"
#include "ui/DialogArt.h"

namespace kelva {

namespace {

constexpr int kTitleBarHeight = 21;
constexpr int kBookHeight = 21 + 296 + 32 + 40;  // title bar and the three panels
constexpr int kSystemTop = 21 + 296;
constexpr int kCancelTop = kSystemTop + 32;
constexpr int kTextEscapement = 2930;  // the ribbons' writing runs steeply down to the right
constexpr TColor kNumberPlain = MakeColor(220, 190, 140);
constexpr TColor kLabelColour = MakeColor(127, 0, 0);

// Copies `picture` with its top-left corner at (x, y), leaving out its white pixels, so
// neighbouring ribbons overlap without cutting each other.
void DrawKeyed(TNkDIB& target, int x, int y, const TNkDIB& picture)
{
    for (int j = 0; j < picture.Height(); ++j) {
        for (int i = 0; i < picture.Width(); ++i) {
            const TColor colour = picture.Pixel(i, j);
            if (colour != kDialogWhite) target.SetPixel(x + i, y + j, colour);
        }
    }
}

void MakeWideButton(THotImage& button, FontRasteriser& fonts, int left, std::string_view caption)
{
    button.Bounds = TRect::Bounds(left, kSystemTop + 4, 253, 25);
    const FontSpec font{kGothicFace, 17, false};
    SetHotFaces(button, OutlinedButtonFace(fonts, {253, 25}, 20, kDialogPaleBlue, {32, 2}, font, caption),
                OutlinedButtonFace(fonts, {253, 25}, 20, kDialogBlue, {32, 2}, font, caption));
}

void MakeArrow(THotImage& arrow, int left, bool pointsLeft)
{
    arrow.Bounds = TRect::Bounds(left, TBookmarkForm::kPageArea.Top, 41, 277);
    arrow.Center = true;
    SetHotFaces(arrow, ArrowPicture(pointsLeft, false), ArrowPicture(pointsLeft, true));
}

}  // namespace

TBookmarkForm::TBookmarkForm(FontRasteriser& fonts, Clock& clock, WindowLayer& layer, TBookmarkMenuForm& menu,
                             BookmarkShelf& shelf)
    : DialogWindow(kWidth, kBookHeight),
      m_fonts(fonts),
      m_clock(clock),
      m_layer(layer),
      m_menu(menu),
      m_shelf(shelf),
      m_ribbonPlain(RibbonPicture(false)),
      m_ribbonHighlighted(RibbonPicture(true)),
      m_page(kPageArea.Width(), kPageArea.Height(), 24)
{
    TakesFocusBack = true;
    m_titleBar.Bounds = TRect::Bounds(0, 0, kWidth, kTitleBarHeight);
    DragHandle = &m_titleBar;
    m_paintBox.Bounds = kPageArea;
    m_paintBox.OnPaint = [this](TNkDIB& client, const TRect& box) {
        DrawPage();
        client.Draw(box.Left, box.Top, m_page);
    };
    m_paintBox.OnMouseMove = [this](TControl&, MouseButton, int x, int) { PaintBoxMouseMove(x); };
    m_paintBox.OnMouseLeave = [this](TControl&) {
        if (m_timerRunning) return;
        m_hotPlace = kNoHotPlace;
        Invalidate();
    };
    m_paintBox.OnMouseDown = [this](TControl&, MouseButton button, int x, int y) {
        PaintBoxMouseDown(button, x, y);
    };
    MakeArrow(m_left, 16, true);
    MakeArrow(m_right, 496, false);
    m_left.OnMouseDown = [this](TControl&, MouseButton, int, int) { Leaf(+1); };
    m_right.OnMouseDown = [this](TControl&, MouseButton, int, int) { Leaf(-1); };
    MakeWideButton(m_fromBeginning, fonts, 20, "はじめから読む");
    MakeWideButton(m_close, fonts, 276, "本を閉じる");
    m_fromBeginning.OnMouseDown = [this](TControl&, MouseButton, int, int) {
        if (!Ask("最初から読む", "最初から読み始めます。")) return;
        m_shelf.ReadFromBeginning();
        Finish();
    };
    m_close.OnMouseDown = [this](TControl&, MouseButton, int, int) {
        if (!Ask("本を閉じる", "終了してよろしいですか？")) return;
        m_shelf.CloseStage();
        Finish();
    };
    m_cancel.Bounds = TRect::Bounds(381, kCancelTop, 224, 32);
    MakeCancelButton(m_cancel, fonts, 40);
    m_cancel.OnMouseDown = [this](TControl&, MouseButton, int, int) { Finish(); };
    for (THotImage* button : {&m_left, &m_right, &m_fromBeginning, &m_close, &m_cancel}) {
        button->OnMouseEnter = button->OnMouseLeave = [this](TControl&) { Invalidate(); };
    }
    for (TControl* control : std::initializer_list<TControl*>{&m_titleBar, &m_paintBox, &m_left, &m_right,
                                                              &m_fromBeginning, &m_close, &m_cancel}) {
        Add(*control);
    }
    Shape.SetRgnRight(kWidth);
    Shape.SetRgnBottom(kBookHeight);
    Shape.SetRgnWidth(32);
    Shape.SetRgnHeight(32);
    Shape.SetEnable(true);
}

void TBookmarkForm::PrepareRecording()
{
    m_recording = true;
    m_fromBeginning.Visible = false;
    m_menu.PrepareRecording();
}

void TBookmarkForm::PrepareOpening()
{
    m_recording = false;
    m_fromBeginning.Visible = true;
    m_menu.PrepareOpening();
}

void TBookmarkForm::ShowModal()
{
    Position = {kStageWidth / 2 - Width / 2, kStageHeight / 2 - Height / 2};
    m_hotPlace = kNoHotPlace;
    DrawTitleBar();
    Invalidate();
    m_layer.ShowModal(*this);
}

void TBookmarkForm::DrawTitleBar()
{
    m_titleBar.Picture = TitleBarPicture(m_fonts, kWidth, kDialogBlue, Caption);
    Invalidate();
}

void TBookmarkForm::DrawPage()
{
    m_page.FillRect(m_page.BoundsRect(), kDialogWhite);
    const int count = m_shelf.Count();
    if (!m_recording && count == 0) {
        TAntiAliasTextout text(m_fonts);
        text.Target = &m_page;
        text.Font = FontSpec{kMinchoFace, 32, false};
        text.TextColor = kDialogBlue;
        text.Smooth = false;
        const std::string_view empty = "しおりがありません";
        const TPoint size = text.MeasureText(empty);
        text.DrawText((m_page.Width() - size.X) / 2, (m_page.Height() - size.Y) / 2, empty);
    } else {
        // While leafing one more ribbon comes into view on the side it comes from.
        const int first = m_leafStep > 0 ? -1 : 0;
        const int last = m_leafStep < 0 ? 3 : 2;
        for (int place = first; place <= last; ++place) {
            const int index = m_firstIndex + place;
            if (index > count || (!m_recording && index >= count)) break;
            DrawRibbon(kPlaceWidth * place + kLeafShift * m_leafStep, index, place == m_hotPlace);
        }
    }
}

void TBookmarkForm::DrawRibbon(int x, int index, bool highlighted)
{
    DrawKeyed(m_page, x, 0, highlighted ? m_ribbonHighlighted : m_ribbonPlain);
    TAntiAliasTextout text(m_fonts);
    text.Target = &m_page;
    text.Smooth = false;
    auto write = [&](TPoint at, FontSpec font, TColor colour, std::string_view line) {
        font.Escapement = kTextEscapement;
        text.Font = font;
        text.TextColor = colour;
        text.DrawText(x + at.X, at.Y, line);
    };
    char number[16];
    std::snprintf(number, sizeof number, "%2d", index + 1);
    write({60, 60}, FontSpec{"Arial", 32, false}, highlighted ? kDialogWhite : kNumberPlain, number);
    const bool isNew = index == m_shelf.Count();
    write({77, 100}, FontSpec{kGothicFace, 16, true}, kLabelColour,
          isNew ? "新しいしおり" : m_shelf.Label(index));
    if (!isNew)
        write({56, 104}, FontSpec{"ＭＳ ゴシック", 16, false}, MakeColor(0, 0, 0), m_shelf.DateText(index));
}

void TBookmarkForm::PaintBoxMouseMove(int x)
{
    if (m_timerRunning) return;
    const int place = std::min((x - Position.X - kPageArea.Left) / kPlaceWidth, 2);
    if (place == m_hotPlace) return;
    m_hotPlace = place;
    Invalidate();
}

void TBookmarkForm::PaintBoxMouseDown(MouseButton button, int x, int y)
{
    if (button != MouseButton::Left || m_timerRunning) return;
    const int place = (x - Position.X - kPageArea.Left) / kPlaceWidth;
    const int index = m_firstIndex + place;
    const int count = m_shelf.Count();
    if (place >= 4 || index > count || (!m_recording && index == count)) return;
    m_menu.Place({x, y}, " しおり " + std::to_string(index + 1));
    switch (m_layer.ShowModal(m_menu)) {
        case TBookmarkMenuForm::kInsert:
            RecordInto(index);
            break;
        case TBookmarkMenuForm::kOpen:
            OpenFrom(index);
            break;
        case TBookmarkMenuForm::kRemove:
            RemoveAt(index);
            break;
        default:
            break;
    }
    Invalidate();
}

void TBookmarkForm::Leaf(int direction)
{
    const int count = m_shelf.Count();
    const bool possible = direction > 0
                              ? m_firstIndex > 0
                              : (m_recording ? m_firstIndex + 3 <= count : m_firstIndex + 3 < count);
    if (!possible) return;
    if (!m_timerRunning) m_nextTickMs = m_clock.NowMs() + kLeafIntervalMs;
    m_timerRunning = true;
    m_leafStep += direction;
}

void TBookmarkForm::Idle()
{
    while (m_timerRunning && m_clock.NowMs() >= m_nextTickMs) {
        m_nextTickMs += kLeafIntervalMs;
        TimerTimer();
    }
}

void TBookmarkForm::TimerTimer()
{
    if (std::abs(m_leafStep) >= 5) {
        m_timerRunning = false;
        m_firstIndex += m_leafStep <= 0 ? 1 : -1;
        m_leafStep = 0;
        Invalidate();
        return;
    }
    Invalidate();
    m_leafStep += m_leafStep < 0 ? -1 : 1;
}

bool TBookmarkForm::Ask(std::string_view caption, const std::string& question)
{
    const int width = Width;
    Width = 0;
    const bool yes = m_shelf.Confirm(caption, question);
    Width = width;
    Invalidate();
    return yes;
}

void TBookmarkForm::RecordInto(int index)
{
    const std::string number = std::to_string(index + 1);
    if (!Ask("しおりをはさむ", "しおり" + number + " をこのページにはさみます。")) return;
    if (m_shelf.Record(index)) Finish();
}

void TBookmarkForm::OpenFrom(int index)
{
    if (!Ask("しおりからひらく", "しおり" + std::to_string(index + 1) + " から開きます。")) return;
    if (index < m_shelf.Count()) m_shelf.Open(index);
    Finish();
}

void TBookmarkForm::RemoveAt(int index)
{
    if (index >= m_shelf.Count()) return;
    if (!Ask("しおりをはずす", "しおり" + std::to_string(index + 1) + " をはずします。")) return;
    m_shelf.Remove(index);
}

}  // namespace kelva
