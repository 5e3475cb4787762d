#include "core/RunMain.h"

#include <thread>

#include "core/StageArtwork.h"
#include "platform/TextCodec.h"

namespace kelva {

TMainForm::TMainForm(LoadedGame& game, StageServices services, const ReaderSettings& settings,
                     ReadPages& readPages, std::optional<bool> fullScreen)
    : m_game(game),
      m_story(*game.Story),
      m_services(services),
      m_reader(settings),
      m_fullScreenOverride(fullScreen),
      m_media(game.Package.get()),
      m_stage(&m_media, &services.Messages),
      m_textRenderer(services.Fonts),
      m_typer(m_state, m_textRenderer, m_stage.ScreenImage, services.Log, m_pageHistory),
      m_transitions(game.Story->Header, m_stage, *this, game.Random, services.Log),
      m_timer(services.Time.NowMs()),
      m_commands(CommandContext{game, m_stage, m_transitions, m_state, m_textRenderer, services.Sound,
                                services.Log, services.Messages},
                 *this),
      m_display(services.Window, services.Messages, game.Story->Header,
                game.Values.Only16BitDisplay || game.Story->Header.Only16BitColour),
      m_presenter(services.Window, services.Time, m_stage.ScreenImage),
      m_windows([this] { m_presenter.MarkChanged(); }),
      m_loop(services.Window, services.Time, m_timer, m_presenter, m_windows, *this),
      m_debugBar(services.Fonts),
      m_debugKeys(m_commands.Context(), *this, m_windows, m_timer, services.Time, services.Fonts),
      m_backlog(m_pageHistory, game.StoryFont, game.Story->Header, m_windows, m_timer, services.Time,
                services.Fonts, services.Log),
      m_keyHelp(m_windows, m_timer, services.Time, services.Fonts, services.Log),
      m_title(game.Story->Header, m_stage, m_transitions, services.Sound, services.Fonts, services.Log,
              *this),
      m_yesNo(services.Fonts),
      m_readPages(readPages),
      m_skip(m_state, *this, settings, readPages, services.Log),
      m_autoAdvance(settings, services.Log, [this](const TRect& area) { m_presenter.MarkChanged(area); })
{
    m_stage.SilhouetteMode = game.Values.SilhouetteMode;
    // Files copied onto this system usually have UTF-8 names.
    m_media.SetDiskNameConverter([](std::string_view name) { return Cp932ToUtf8(name); });
    m_stage.KeyWaitImage = KeyWaitIconFrames();
    if (game.Values.DebugMode) m_presenter.AddOverlay(m_debugBar);
    m_presenter.AddOverlay(m_autoAdvance);
    m_presenter.AddOverlay(m_windows);
    CNovelFileHeader& header = m_story.Header;
    if (header.Title.empty()) header.Title = kRuntimeCaption;
    m_services.Window.SetTitle(header.Title);
    // The window stays invisible until the first tick chooses full screen or window.
}

const CNovelItem* TMainForm::CurrentItem() const
{
    const int index = m_state.CurrentItem;
    if (index < 0 || index >= m_story.Items.Count()) return nullptr;
    return &m_story.Items[index];
}

void TMainForm::SetTimerInterval(int milliseconds)
{
    m_timer.SetInterval(milliseconds, m_services.Time.NowMs());
}

void TMainForm::TurnPage()
{
    // Skip mode races through pages: other programs get their turn at each one.
    if (m_state.SkipMode) std::this_thread::yield();
    BeginPage();
    Present();
}

void TMainForm::SetMode(PlayerMode mode)
{
    m_state.Mode = mode;
    switch (mode) {
        case PlayerMode::Text:
            m_display.ShowReadingPointer();
            m_typer.ResetStyle(m_game.StoryFont, m_story.Header);
            m_skip.TextBegins(CurrentItem(), m_state.Position);
            break;
        case PlayerMode::Link: {
            m_readPages.TextEnds();
            m_readPages.SaveIfDue(NowMs());
            m_typer.ResetStyle(m_game.StoryFont, m_story.Header);
            const CNovelItem* item = CurrentItem();
            const bool menu = item && item->Kind == kItemMenuLink;
            if (menu) {
                m_menu.Reset();
                m_state.Click.Clear();
                m_display.SetPointer(Pointer::Arrow);
                BeginPage();
                Present();
            }
            if (menu || m_story.Header.SkipMode == 1) m_skip.End();
            break;
        }
        case PlayerMode::KeyWait:
            m_readPages.TextEnds();
            m_autoAdvance.KeyWaitBegins(m_state.CharactersShown);
            m_state.Click.Clear();
            m_display.ShowReadingPointer();
            m_services.Log.Event("keywait");
            break;
        case PlayerMode::Title:
            m_display.ShowReadingPointer();
            m_state.TitleStep = 0;
            m_services.Log.Event("title");
            break;
    }
}

void TMainForm::BeginPage()
{
    m_stage.ScreenImage.Assign(m_stage.StageImage);
    m_state.TextCursor = {kMessageArea.Left, kMessageArea.Top};
    m_state.RecordPageStart(m_story.Counters, m_services.Sound.SoundPlaying(), m_services.Sound.CdPlaying());
    m_services.Log.FlushText();
    m_pageHistory.EndPage();
}

void TMainForm::Present()
{
    m_presenter.MarkChanged();
    if (m_state.SkipMode) {
        m_display.SetPointer(Pointer::Skip);
    } else if (m_display.FullScreen() && m_state.Mode == PlayerMode::Text) {
        m_display.SetPointer(Pointer::Hidden);
    }
}

void TMainForm::PresentRect(const TRect& rect)
{
    m_presenter.MarkChanged(rect);
}

void TMainForm::SwitchDisplay(bool fullScreen)
{
    if (!m_display.Switch(fullScreen, m_state.Mode == PlayerMode::Link)) {
        FormClose();
        return;
    }
    m_presenter.MarkChanged();
    m_presenter.Flush(true);
}

void TMainForm::TimerTimer(int lagCount)
{
    if (!m_modeSwitched) {
        m_modeSwitched = true;
        m_presenter.Start();
        SwitchDisplay(m_fullScreenOverride.value_or(!m_story.Header.StartWindowed));
        return;
    }
    if (m_transitions.Active()) {
        m_transitions.StepTransition();
        return;
    }
    m_skip.Tick();
    if (m_state.SkipMode && m_state.Mode == PlayerMode::Text) SetTimerInterval(1);
    if (m_state.WaitActive) {
        m_state.WaitElapsed += lagCount * m_timer.Interval();
        if (m_state.WaitElapsed >= m_state.WaitLength) m_state.WaitActive = false;
        return;
    }
    try {
        RunTick(lagCount);
    } catch (const NumberConversionError& error) {
        // The whole tick is abandoned, its count and the debug bar included; the reading
        // position already stands after the command.
        m_services.Messages.Show(m_story.Header.Title, error.what(), MessageIcon::Error);
        return;
    }
    m_state.TickTotal += lagCount;
    if (m_game.Values.DebugMode && m_debugBar.ShowItem(m_state.CurrentItem, CurrentItem()))
        m_presenter.MarkChanged();
}

void TMainForm::StepTitle()
{
    // The logo screen sets the story's text pace.
    if (m_state.TitleStep == 0) m_textInterval = m_reader.TypingIntervalMs(m_story.Header.FrameInterval);
    if (!m_title.Step(m_state)) return;
    // With bookmarks at the title the book chooses where reading starts; other stories
    // start at once, as a reader expects of a title screen that asks for a click.
    if (m_story.Header.BookmarkMode != 2) return StartStory();
    if (m_showBookmarkBook) m_showBookmarkBook(false);
}

void TMainForm::StartStory()
{
    const CNovelFileHeader& header = m_story.Header;
    if (m_story.Items.Count() == 0) {
        // Nothing to read: say so rather than wait on a black page for text that never comes.
        m_services.Messages.Show(header.Title, "この物語には項目がひとつもありません。", MessageIcon::Error);
        SetMode(PlayerMode::Title);
        return;
    }
    BeginPage();
    const int start = m_story.Items.IndexOf(header.StartItem);
    m_state.CurrentItem = start < 0 ? 0 : start;
    m_state.Position = {1, 0};
    SetMode(PlayerMode::Text);
    m_services.Log.Event("start", CurrentItem() ? CurrentItem()->Name : std::string());
    for (const char* line : {".MidiStop", ".SoundStop", ".CDStop"}) ExecuteCommandLine(line);
    m_stage.CharLayer.Clear();
    m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
    m_transitions.StartTransition();
    m_textInterval = m_reader.TypingIntervalMs(header.FrameInterval);
    m_state.PageCounter = 0;
    m_state.PlayNumber = 1;
}

void TMainForm::RunTick(int lagCount)
{
    switch (m_state.Mode) {
        case PlayerMode::Text:
            StepText(lagCount);
            break;
        case PlayerMode::Link:
            StepLink();
            break;
        case PlayerMode::KeyWait:
            StepKeyWait(lagCount);
            break;
        case PlayerMode::Title:
            StepTitle();
            break;
    }
}

void TMainForm::OpenGameMenu()
{
    // The menu is not modal: the story goes on while it is up.
    m_services.Log.Event("gamemenu");
    if (m_openGameMenu) m_openGameMenu();
}

void TMainForm::FormKeyDown(const InputEvent& key)
{
    if (key.key == Key::A) {
        if (!m_windows.Showing()) m_autoAdvance.Toggle();
        return;
    }
    m_autoAdvance.Stop();
    if (key.key == Key::Ctrl) {
        m_skip.Hold(true);
        return;
    }
    if (key.ctrl) m_skip.Chord();
    if (key.key == Key::Escape) {
        m_timer.SetEnabled(false, m_services.Time.NowMs());
        if (Confirm("本を閉じる", "終了してよろしいですか？")) FormClose();
        m_timer.SetEnabled(true, m_services.Time.NowMs());
        return;
    }
    if ((key.key == Key::Return && key.alt) || key.key == Key::F11) {
        SwitchDisplay(!m_display.FullScreen());
        return;
    }
    if (key.key == Key::F1) return m_keyHelp.Show(m_stage.ScreenImage);
    if (key.key == Key::PageUp) return OpenBacklog();
    if (m_display.HandleScaleKey(key)) return;
    for (ReaderTool* tool : m_readerTools) {
        if (tool->HandleKey(key)) return;
    }
    if (ChooseByKey(key.key)) return;
    if (key.key == Key::Space || key.key == Key::Return) {
        if (m_state.Click.Pressed) return;
        // The pointer goes to the window's corner, above the first choice of a menu, and
        // the key counts as a click there.
        m_display.MovePointer(4, 4);
        FormMouseMove(4, 4);
        m_state.Click.Latch(4, 4, MouseButton::Left);
        m_state.SkipMode = false;
        return;
    }
    if (m_game.Values.DebugMode) m_debugKeys.HandleKey(key.key);
}

void TMainForm::Idle()
{
    m_services.Sound.Poll();
    for (ReaderTool* tool : m_readerTools) tool->Poll(m_services.Time.NowMs());
}

void TMainForm::FormMouseDown(MouseButton button, int x, int y)
{
    // A pointer is where it presses.
    FormMouseMove(x, y);
    m_autoAdvance.Stop();
    m_state.SkipMode = false;
    m_state.Click.Latch(x, y, button);
}

void TMainForm::FormMouseMove(int x, int y)
{
    if (x != m_state.Mouse.X || y != m_state.Mouse.Y) m_choiceKeys.PointerMoved();
    m_state.Mouse = {x, y};
}

void TMainForm::FormKeyUp(const InputEvent& key)
{
    if (key.key == Key::Ctrl) m_skip.Hold(false);
}

void TMainForm::FormMouseWheel(int steps)
{
    if (steps > 0) OpenBacklog();
}

void TMainForm::OpenBacklog()
{
    // Only where reading waits for the reader: not at the title, in a transition or while
    // text is typed.
    const bool waiting =
        m_state.Mode == PlayerMode::KeyWait || (m_state.Mode == PlayerMode::Link && m_menu.Drawn());
    if (waiting && !m_transitions.Active()) m_backlog.Show(m_stage.ScreenImage);
}

void TMainForm::FormClose()
{
    if (m_closed) return;
    m_readPages.Save();
    m_services.Sound.StopMusic();
    m_services.Sound.StopSoundFile();
    if (m_services.Sound.MediaPresent()) m_services.Sound.StopCd();
    m_closed = true;
    m_services.Log.Event("close");
}

void TMainForm::Run()
{
    m_loop.RunUntil([] { return false; });
}

bool TMainForm::Confirm(std::string_view caption, std::string_view question)
{
    m_services.Log.Event("dialog", std::string(caption) + ": " + std::string(question));
    m_yesNo.Prepare(caption, question);
    const int result = m_windows.ShowModal(m_yesNo);
    m_services.Log.Event("dialog-result", std::to_string(result));
    return result == 1;
}

}  // namespace kelva
