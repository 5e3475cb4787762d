#include "ui/MenuForm.h"

#include "graphics/FontSpec.h"
#include "ui/DialogArt.h"

namespace kelva {

namespace {

// The face with the button's caption written on it.
TNkDIB Captioned(FontRasteriser& fonts, TNkDIB face, std::string_view caption)
{
    DrawOutlined(face, fonts, {40, 6}, FontSpec{kGothicFace, 18, true}, caption);
    return face;
}

}  // namespace

TPoint GameMenuPosition(const TRect& stage, bool bordered, TPoint screen, TPoint size)
{
    TPoint at{stage.Right - size.X - (bordered ? 2 : 0), stage.Top + 32};
    if (at.X + size.X >= screen.X) at.X = screen.X - size.X;
    if (at.Y + size.Y >= screen.Y) at.Y = screen.Y - size.Y;
    return at;
}

TMenuForm::TMenuForm(FontRasteriser& fonts, WindowLayer& layer, GameMenuHost& host, MenuRows rows)
    : DialogWindow(kWidth, 0), m_fonts(fonts), m_layer(layer), m_host(host)
{
    Caption = "メニュー";
    for (TPanel* panel : {&m_topPanel, &m_savePanel, &m_dispModePanel, &m_skipPanel, &m_mainPanel})
        Add(*panel);
    MakeButton(m_mark, m_savePanel, {8, 0});
    MakeButton(m_open, m_savePanel, {8, 32});
    MakeButton(m_dispMode, m_dispModePanel, {8, 0});  // drawn at every showing
    MakeButton(m_skip, m_skipPanel, {8, 0});
    MakeButton(m_close, m_mainPanel, {8, 0});
    MakeButton(m_cancel, m_mainPanel, {8, 32});
    DrawFaces(m_mark, MenuIcon::BookmarkTag, "しおりをはさむ");
    DrawFaces(m_open, MenuIcon::TurningBook, "しおりから読む");
    DrawFaces(m_skip, MenuIcon::FastForward, "早送り");
    DrawFaces(m_close, MenuIcon::ClosedBook, "本を閉じる");
    DrawFaces(m_cancel, MenuIcon::Cancel, "キャンセル");

    m_mark.OnMouseDown = [this](TControl&, MouseButton, int, int) {
        WhileVanished([this] { m_host.ShowBookmarkBook(true, "しおりをはさむ"); });
    };
    m_open.OnMouseDown = [this](TControl&, MouseButton, int, int) {
        WhileVanished([this] { m_host.ShowBookmarkBook(false, "しおりから読む"); });
    };
    m_dispMode.OnMouseDown = [this](TControl&, MouseButton, int, int) {
        m_host.SwitchDisplay(!m_host.FullScreen());
        Close();
    };
    m_skip.OnMouseDown = [this](TControl&, MouseButton, int, int) {
        m_host.FastForward();
        Close();
    };
    m_close.OnMouseDown = [this](TControl&, MouseButton, int, int) {
        WhileVanished([this] {
            if (m_host.Confirm("本を閉じる", "終了してよろしいですか？")) m_host.CloseStage();
        });
    };
    m_cancel.OnMouseDown = [this](TControl&, MouseButton, int, int) { Close(); };

    m_savePanel.Visible = rows.BookmarkMode != 0;
    m_dispModePanel.Visible = rows.DisplayModeChoice;
    m_skipPanel.Visible = rows.SkipMode != 0;
    Height = StackPanels({&m_topPanel, &m_savePanel, &m_dispModePanel, &m_skipPanel, &m_mainPanel}, Width);
    // The shape reaches 40 pixels past the right edge, so only the left-hand corners are round.
    Shape.SetRgnRight(Width + 40);
    Shape.SetRgnBottom(Height);
    Shape.SetRgnWidth(48);
    Shape.SetRgnHeight(48);
    Shape.SetEnable(true);
}

void TMenuForm::MakeButton(THotImage& button, TPanel& panel, TPoint at)
{
    button.Bounds = TRect::Bounds(0, 0, kMenuButtonWidth, kMenuButtonHeight);
    panel.Insert(button, at);
    button.OnMouseEnter = button.OnMouseLeave = [this](TControl&) { Invalidate(); };
    Add(button);
}

void TMenuForm::DrawFaces(THotImage& button, MenuIcon icon, std::string_view caption)
{
    SetHotFaces(button, Captioned(m_fonts, MenuButtonPicture(icon, false), caption),
                Captioned(m_fonts, MenuButtonPicture(icon, true), caption));
}

void TMenuForm::Popup()
{
    m_host.MenuOpened();
    // The caption names the mode the button switches to.
    DrawFaces(m_dispMode, MenuIcon::TwoWindows, m_host.FullScreen() ? "ウインドウモード" : "フルスクリーン");
    // The windows are drawn on the stage, which is all the screen they have.
    Position = GameMenuPosition(TRect{0, 0, kStageWidth, kStageHeight}, !m_host.FullScreen(),
                                {kStageWidth, kStageHeight}, {Width, Height});
    m_layer.Show(*this);
}

void TMenuForm::Close()
{
    if (!Visible()) return;
    m_layer.Hide(*this);
    m_host.MenuClosed();
}

void TMenuForm::Deactivated()
{
    Close();
}

void TMenuForm::WhileVanished(const std::function<void()>& dialog)
{
    const int width = Width;
    Width = 0;
    Invalidate();
    dialog();
    Close();
    Width = width;
}

}  // namespace kelva
