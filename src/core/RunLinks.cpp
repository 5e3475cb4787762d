// Following links when an item's text is finished: the numbered choice menu, the
// automatic link and the end of the story.
#include "core/MessageLayout.h"
#include "core/RunMain.h"

namespace kelva {

void TMainForm::StepLink()
{
    const CNovelItem* item = CurrentItem();
    if (!item) return;
    switch (item->Kind) {
        case kItemMenuLink:
            StepMenuLink();
            break;
        case kItemAutoLink:
            StepAutoLink();
            break;
        case kItemEnd:
            StepEndItem();
            break;
        default:
            break;  // an unknown kind stays in link mode
    }
}

void TMainForm::DrawMenu()
{
    m_display.SetPointer(Pointer::Busy);
    BeginPage();
    std::vector<MenuChoice> choices = MenuChoices(*CurrentItem(), m_story.Items, m_story.Counters);
    if (choices.empty()) {
        m_services.Messages.Show("メニューリンク", "有効なリンク先がありません。", MessageIcon::Error);
        SetMode(PlayerMode::Title);
        BeginPage();
        Present();
        return;
    }
    for (const MenuChoice& choice : choices) m_services.Log.Event("choice", choice.Caption);
    m_choiceKeys.Reset();
    m_textRenderer.Smooth = m_story.Header.SmoothText;  // font and colour: set as link mode began
    m_menu.Draw(std::move(choices), m_textRenderer, m_stage, m_story.Header.ChoiceBoxColor,
                m_state.LastCharSize.Y);
    PresentRect(TRect{0, 0, kStageWidth, kStageHeight});
    m_display.SetPointer(Pointer::Arrow);
}

void TMainForm::StepMenuLink()
{
    m_state.LastCharSize = m_textRenderer.MeasureText("あ");
    if (!m_menu.Drawn()) {
        DrawMenu();
        if (m_state.Mode != PlayerMode::Link) return;
    }
    const std::optional<int> keyLine = m_choiceKeys.Line();
    if (m_menu.Hover(keyLine ? m_menu.RowOf(*keyLine) : m_state.Mouse.Y, m_stage))
        PresentRect(TRect{0, 0, kStageWidth, kStageHeight});

    ClickLatch& click = m_state.Click;
    if (!click.Pressed) return;
    if (click.Button == MouseButton::Right) {
        OpenGameMenu();
        click.Clear();
        return;
    }
    // The click chooses the line it landed on; beside the choices it is dropped.
    const MenuChoice* choice = click.Button == MouseButton::Left ? m_menu.ChoiceAt(click.Y) : nullptr;
    click.Clear();
    if (!choice) return;
    m_services.Log.Event("chosen", choice->Caption);
    m_pageHistory.AddChoice(choice->Caption);
    EnterItem(choice->Target);
    m_stage.Rebuild();
    BeginPage();
    Present();
}

// Keys over a choice menu: true when `key` moved the keyboard's highlight or chose the
// line it is on. Without a keyboard highlight Enter and Space click as anywhere else.
bool TMainForm::ChooseByKey(Key key)
{
    if (m_state.Mode != PlayerMode::Link || !m_menu.Drawn()) return false;
    if (m_choiceKeys.Move(key, static_cast<int>(m_menu.Choices().size()))) return true;
    const std::optional<int> line = m_choiceKeys.Line();
    if ((key != Key::Space && key != Key::Return) || !line || m_state.Click.Pressed) return false;
    m_state.Click.Latch(kMessageArea.Left, m_menu.RowOf(*line), MouseButton::Left);
    return true;
}

// Reading goes on at the first line of item `index`.
void TMainForm::EnterItem(int index)
{
    m_state.CurrentItem = index;
    m_services.Log.Event("item", CurrentItem()->Name);
    m_state.Position = {1, 0};
    SetMode(PlayerMode::Text);
}

void TMainForm::StepAutoLink()
{
    const int target = AutoLinkTarget(*CurrentItem(), m_story.Items, m_story.Counters);
    if (target < 0) {
        m_services.Messages.Show("自動リンク", "リンク先が見つかりません。", MessageIcon::Error);
        m_state.CurrentItem = -1;
        SetMode(PlayerMode::Title);
    } else {
        EnterItem(target);
    }
    BeginPage();
    Present();
}

void TMainForm::StepEndItem()
{
    m_state.PageCounter = -1;
    m_services.Log.Event("end");
    // The book records the ending's page as it began, before the title takes over.
    if (m_story.Header.BookmarkMode == 2 && m_showBookmarkBook) {
        m_timer.SetEnabled(false, m_services.Time.NowMs());
        m_showBookmarkBook(true);
        m_timer.SetEnabled(true, m_services.Time.NowMs());
    }
    SetMode(PlayerMode::Title);
    BeginPage();
    Present();
}

}  // namespace kelva
