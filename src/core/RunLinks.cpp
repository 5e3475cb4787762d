// Following links when an item's text is finished: the numbered choice menu, the
// automatic link and the end of the story.
#include <cstdio>

#include "core/RunMain.h"
#include "data/ShiftJis.h"

namespace kelva {

std::vector<MenuChoice> MenuChoices(const CNovelItem& item, const CNovelItems& items, const CNovelCounters& counters)
{
    std::vector<MenuChoice> choices;
    for (const CNovelLink& link : item.Links) {
        if (!LinkHolds(link, counters)) continue;
        const int target = items.IndexOf(link.Target);
        if (target < 0) continue;
        choices.push_back({std::to_string(choices.size() + 1) + ". " + link.Caption, target});
    }
    return choices;
}

int AutoLinkTarget(const CNovelItem& item, const CNovelItems& items, const CNovelCounters& counters)
{
    for (int i = kLinksPerItem - 1; i >= 0; --i) {
        if (LinkHolds(item.Links[static_cast<size_t>(i)], counters)) {
            return items.IndexOf(item.Links[static_cast<size_t>(i)].Target);
        }
    }
    return -1;
}

void TMainForm::StepLink()
{
    const CNovelItem* item = CurrentItem();
    if (!item) return;
    switch (item->Kind) {
    case kItemMenuLink: StepMenuLink(); break;
    case kItemAutoLink: StepAutoLink(); break;
    case kItemEnd: StepEndItem(); break;
    default: break;  // an unknown kind stays in link mode
    }
}

// Copies choice `choice`'s band from `from` to the screen: the rows of its line with an
// eighth of a line step above and a quarter below, the whole stage width.
void TMainForm::MenuBand(int choice, int lineStep, int height, TNkDIB& from)
{
    const int y = kMessageArea.Top + choice * lineStep;
    const int top = std::max(0, y - lineStep / 8);
    const int bottom = std::min(kStageHeight - 1, y - lineStep / 8 + height + lineStep / 4);
    if (top > bottom) return;
    CopyRect(from, m_stage.ScreenImage, TRect{0, top, kStageWidth - 1, bottom});
    PresentRect(TRect{0, top, kStageWidth, bottom + 1});
}

void TMainForm::StepMenuLink()
{
    const CNovelItem& item = *CurrentItem();
    const TPoint size = m_textRenderer.MeasureText("あ");
    m_state.LastCharSize = size;
    const int h = size.Y;
    const int lineStep = std::max(1, h * 140 / 100);

    if (!m_menuDrawn) {
        m_services.Window.SetPointer(Pointer::Busy);
        BeginPage();
        m_menuDrawn = true;
        m_highlighted = -1;
        m_choices = MenuChoices(item, m_story.Items, m_story.Counters);
        if (m_choices.empty()) {
            m_services.Messages.Show("メニューリンク", "有効なリンク先がありません。", MessageIcon::Error);
            SetMode(PlayerMode::Title);
            BeginPage();
            Present();
            return;
        }
        const int count = static_cast<int>(m_choices.size());
        m_stage.HighlightImage.Assign(m_stage.StageImage);
        Tint(m_stage.Blend, m_stage.HighlightImage, TRect{0, 0, kStageWidth, kMessageArea.Top + count * lineStep},
             m_story.Header.ChoiceBoxColor, 40);
        for (int i = 0; i < count; ++i) {
            m_services.Log.Event("choice", m_choices[static_cast<size_t>(i)].Caption);
            for (TNkDIB* target : {&m_stage.StageImage, &m_stage.HighlightImage}) {
                m_textRenderer.Font = m_game.StoryFont;
                m_textRenderer.TextColor = m_story.Header.TextColor;
                m_textRenderer.Target = target;
                m_textRenderer.Smooth = m_story.Header.SmoothText;
                const std::string& caption = m_choices[static_cast<size_t>(i)].Caption;
                int x = kMessageArea.Left;
                const int y = kMessageArea.Top + i * lineStep;
                for (size_t at = 0; at < caption.size();) {
                    const size_t length = SjisCharLength(caption, at);
                    const std::string_view character(caption.data() + at, length);
                    m_textRenderer.DrawText(x, y, character);
                    x += m_textRenderer.MeasureText(character).X;
                    at += length;
                }
                MenuBand(i, lineStep, h, m_stage.StageImage);
            }
        }
        m_services.Window.SetPointer(Pointer::Arrow);
    }

    // The choice under the pointer; above the first line counts as none.
    int hovered = lineStep / 6 + m_state.Mouse.Y - kMessageArea.Top;
    if (hovered < 0) hovered = 65535;
    hovered /= lineStep;
    const int count = static_cast<int>(m_choices.size());
    if (hovered != m_highlighted) {
        for (int i = 0; i < count; ++i) {
            if (i != hovered && i != m_highlighted && m_highlighted >= 0) continue;
            MenuBand(i, lineStep, h + 1, i == hovered ? m_stage.HighlightImage : m_stage.StageImage);
        }
        m_highlighted = hovered;
    }

    ClickLatch& click = m_state.Click;
    if (click.Pressed && click.Button == MouseButton::Right) {
        OpenGameMenu();
        click.Clear();
        return;
    }
    if (hovered < 0 || hovered >= count) {
        click.Clear();  // a click beside the choices is dropped
        return;
    }
    if (!click.Pressed) return;
    if (click.Button != MouseButton::Left) {
        click.Clear();
        return;
    }
    click.Clear();
    m_services.Log.Event("chosen", m_choices[static_cast<size_t>(hovered)].Caption);
    m_state.CurrentItem = m_choices[static_cast<size_t>(hovered)].Target;
    m_services.Log.Event("item", CurrentItem()->Name);
    m_state.Position = {1, 0};
    SetMode(PlayerMode::Text);
    m_stage.Rebuild();
    BeginPage();
    Present();
}

void TMainForm::StepAutoLink()
{
    m_state.CurrentItem = AutoLinkTarget(*CurrentItem(), m_story.Items, m_story.Counters);
    if (m_state.CurrentItem < 0) {
        m_services.Messages.Show("自動リンク", "リンク先が見つかりません。", MessageIcon::Error);
        m_state.CurrentItem = 0;
        SetMode(PlayerMode::Title);
    } else {
        m_services.Log.Event("item", CurrentItem()->Name);
        m_state.Position = {1, 0};
        SetMode(PlayerMode::Text);
    }
    BeginPage();
    Present();
}

void TMainForm::StepEndItem()
{
    m_state.PageCounter = -1;
    m_services.Log.Event("end");
    // With bookmarks at endings the bookmark book offers to record one; it arrives with
    // the dialogs.
    SetMode(PlayerMode::Title);
    BeginPage();
    Present();
}

}  // namespace kelva
