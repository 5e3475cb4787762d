#include "core/RunMain.h"

#include <algorithm>
#include <thread>

#include "core/StageArtwork.h"
#include "platform/TextCodec.h"

namespace kelva {

namespace {

// Presenting more often than the display refreshes only costs time.
constexpr int kPresentSpacingMs = 16;

// The debug bar: a grey strip along the bottom edge with the key help on the left and
// the current item on a silver field on the right.
constexpr int kDebugBarHeight = 13;
constexpr int kDebugLabel2Width = 124;
constexpr const char* kDebugLabel1 =
    "デバッグモード  [F5:カウンタ操作] [F6:ジャンプ] [F7:パニック停止] [F8:フェードスキップ]";

}  // namespace

TMainForm::TMainForm(LoadedGame& game, StageServices services, std::optional<bool> fullScreen)
    : m_game(game),
      m_story(*game.Story),
      m_services(services),
      m_fullScreenOverride(fullScreen),
      m_media(game.Package.get()),
      m_stage(&m_media, &services.Messages),
      m_textRenderer(services.Fonts),
      m_transitions(game.Story->Header, m_stage, *this, game.Random, services.Log),
      m_timer(services.Time.NowMs()),
      m_debugText(services.Fonts)
{
    m_stage.SilhouetteMode = game.Values.SilhouetteMode;
    // Files copied onto this system usually have UTF-8 names.
    m_media.SetDiskNameConverter([](std::string_view name) { return Cp932ToUtf8(name); });
    FormCreate();
    FormShow();
}

void TMainForm::FormCreate()
{
    CNovelFileHeader& header = m_story.Header;
    if (header.Title.empty()) header.Title = kRuntimeCaption;
    m_services.Window.SetTitle(header.Title);
    m_state.SkipMode = false;
    // The window stays invisible until the first tick chooses full screen or window.
}

void TMainForm::FormShow()
{
    m_stage.KeyWaitImage = KeyWaitIconFrames();
    m_debugText.Font = FontSpec{kGothicFace, 11, false};
    m_debugText.Smooth = false;
    m_debugText.Decoration = 0;
    m_debugText.TextColor = MakeColor(0, 0, 0);
    m_debugLabel2.clear();
}

void TMainForm::DrawDebugBar(TNkDIB& frame)
{
    const int top = kStageHeight - kDebugBarHeight;
    frame.FillRect(TRect{0, top, kStageWidth, kStageHeight}, MakeColor(212, 208, 200));
    frame.FillRect(TRect{kStageWidth - kDebugLabel2Width, top, kStageWidth, kStageHeight}, MakeColor(192, 192, 192));
    m_debugText.Target = &frame;
    m_debugText.DrawText(2, top, kDebugLabel1);
    m_debugText.DrawText(kStageWidth - kDebugLabel2Width, top, m_debugLabel2);
}

const CNovelItem* TMainForm::CurrentItem() const
{
    const int index = m_state.CurrentItem;
    if (index < 0 || index >= m_story.Items.Count()) return nullptr;
    return &m_story.Items[index];
}

void TMainForm::SetTimerInterval(int milliseconds) { m_timer.SetInterval(milliseconds, m_services.Time.NowMs()); }

void TMainForm::Yield()
{
    if (m_state.SkipMode) std::this_thread::yield();
}

void TMainForm::ResetTextStyle()
{
    const CNovelFileHeader& header = m_story.Header;
    m_textRenderer.Font = m_game.StoryFont;
    m_textRenderer.FilterSize = 3;
    m_textRenderer.TextColor = header.TextColor;
    m_textRenderer.Decoration = header.TextEdgeStyle != 0 ? 2 : 1;
    m_textRenderer.EdgeColor = header.EdgeColor;
}

void TMainForm::ShowPointer()
{
    // Full screen hides the pointer while reading; a window keeps the arrow.
    m_services.Window.SetPointer(m_fullScreen ? Pointer::Hidden : Pointer::Arrow);
}

void TMainForm::SetMode(PlayerMode mode)
{
    m_state.Mode = mode;
    switch (mode) {
    case PlayerMode::Text:
        ShowPointer();
        ResetTextStyle();
        break;
    case PlayerMode::Link: {
        ResetTextStyle();
        const CNovelItem* item = CurrentItem();
        const bool menu = item && item->Kind == kItemMenuLink;
        if (menu) {
            m_menuDrawn = false;
            m_highlighted = 65535;
            m_state.Click.Clear();
            m_services.Window.SetPointer(Pointer::Arrow);
            BeginPage();
            Present();
        }
        if (menu || m_story.Header.SkipMode == 1) {
            m_state.SkipMode = false;
            SetTimerInterval(m_textInterval);
        }
        break;
    }
    case PlayerMode::KeyWait:
        m_state.Click.Clear();
        ShowPointer();
        m_services.Log.Event("keywait");
        break;
    case PlayerMode::Title:
        ShowPointer();
        m_state.TitleStep = 0;
        m_services.Log.Event("title");
        break;
    }
}

void TMainForm::BeginPage()
{
    m_stage.ScreenImage.Assign(m_stage.StageImage);
    m_state.TextCursor = {kMessageArea.Left, kMessageArea.Top};
    ++m_state.PageCounter;
    m_state.PageMusic = m_state.CurrentMusic;
    m_state.PageSound = m_services.Sound.SoundPlaying() ? m_state.CurrentSound : std::string();
    m_state.PagePosition = m_state.Position;
    m_state.CountersSnapshot.Assign(m_story.Counters);
    m_state.PageCdTrack = m_services.Sound.CdPlaying() ? m_state.CurrentCdTrack : 0;
    m_services.Log.FlushText();
}

void TMainForm::Present()
{
    m_dirty = true;
    if (m_state.SkipMode) {
        m_services.Window.SetPointer(Pointer::Skip);
    } else if (m_fullScreen && m_state.Mode == PlayerMode::Text) {
        m_services.Window.SetPointer(Pointer::Hidden);
    }
}

void TMainForm::PresentRect(const TRect&)
{
    // The window is always shown whole from ScreenImage; a rectangle only marks it changed.
    m_dirty = true;
}

void TMainForm::FlushPresent(bool force)
{
    if (!m_dirty || !m_modeSwitched) return;
    const int64_t now = m_services.Time.NowMs();
    if (!force && now - m_lastPresent < kPresentSpacingMs) return;
    const TNkDIB* frame = &m_stage.ScreenImage;
    if (m_game.Values.DebugMode) {
        m_shownFrame.Assign(m_stage.ScreenImage);
        DrawDebugBar(m_shownFrame);
        frame = &m_shownFrame;
    }
    m_services.Window.Present(frame->Bits(), frame->Stride());
    m_lastPresent = now;
    m_dirty = false;
}

void TMainForm::DXDrawInitialize()
{
    if (m_displayEnumerated) return;
    m_displayEnumerated = true;
    const bool only16 = m_game.Values.Only16BitDisplay || m_story.Header.Only16BitColour;
    std::vector<DisplayMode> modes = m_services.Window.DisplayModes();
    if (modes.empty()) {
        // A display that lists no modes is taken to be a true-colour one.
        m_displayMode = {kStageWidth, kStageHeight, 32};
        return;
    }
    const DisplayMode desktop = modes.back();
    modes.pop_back();
    // The last 640 x 480 mode listed wins; deeper than 16 bits only without the limit.
    for (const DisplayMode& mode : modes) {
        if (mode.Width != kStageWidth || mode.Height != kStageHeight || mode.BitsPerPixel <= 0) continue;
        if (only16 && mode.BitsPerPixel > 16) continue;
        m_displayMode = mode;
    }
    // Full screen scales the stage onto the desktop, so a display without a 640 x 480
    // mode serves as well, at the desktop's depth.
    if (m_displayMode.BitsPerPixel == 0) {
        m_displayMode = {kStageWidth, kStageHeight, only16 ? std::min(16, desktop.BitsPerPixel) : desktop.BitsPerPixel};
    }
    if (m_displayMode.BitsPerPixel < 15) {
        m_services.Messages.Show(m_story.Header.Title, "ビデオカードがハイカラーに対応していません。\r\n実行を中止します。",
                                 MessageIcon::Error);
    }
}

void TMainForm::SwitchDisplay(bool fullScreen)
{
    DXDrawInitialize();
    if (fullScreen && m_displayEnumerated && m_displayMode.BitsPerPixel < 15) {
        m_services.Messages.Show(m_story.Header.Title, "画面モードを変更できません。\r\n実行を中止します。",
                                 MessageIcon::Error);
        FormClose();
        return;
    }
    m_fullScreen = fullScreen;
    m_services.Window.Show(fullScreen);
    if (fullScreen && m_state.Mode != PlayerMode::Link) {
        m_services.Window.SetPointer(Pointer::Hidden);
    } else {
        m_services.Window.SetPointer(Pointer::Arrow);
    }
    m_dirty = true;
    FlushPresent(true);
}

void TMainForm::TimerTimer(int lagCount)
{
    if (!m_modeSwitched) {
        m_modeSwitched = true;
        SwitchDisplay(m_fullScreenOverride.value_or(!m_story.Header.StartWindowed));
        return;
    }
    if (m_transitions.Active()) {
        m_transitions.StepTransition();
        return;
    }
    if (m_state.SkipMode && m_state.Mode == PlayerMode::Text) SetTimerInterval(1);
    if (m_state.WaitActive) {
        m_state.WaitElapsed += lagCount * m_timer.Interval();
        if (m_state.WaitElapsed >= m_state.WaitLength) m_state.WaitActive = false;
        return;
    }
    try {
        RunTick(lagCount);
    } catch (const NumberConversionError& error) {
        // The tick is abandoned; the reading position already stands after the command.
        m_services.Messages.Show(m_story.Header.Title, error.what(), MessageIcon::Error);
    }
    m_state.TickTotal += lagCount;
    if (m_game.Values.DebugMode) {
        const std::string label =
            " " + std::to_string(m_state.CurrentItem) + ". " + (CurrentItem() ? CurrentItem()->Name : std::string());
        if (label != m_debugLabel2) {
            m_debugLabel2 = label;
            m_dirty = true;
        }
    }
}

void TMainForm::RunTick(int lagCount)
{
    switch (m_state.Mode) {
    case PlayerMode::Text: StepText(lagCount); break;
    case PlayerMode::Link: StepLink(); break;
    case PlayerMode::KeyWait: StepKeyWait(); break;
    case PlayerMode::Title: StepTitle(); break;
    }
}

void TMainForm::SkipTransition()
{
    m_transitions.Finish();
    BeginPage();
    Present();
}

void TMainForm::PanicStop()
{
    m_services.Sound.StopMusic();
    m_services.Sound.StopSoundFile();
    m_stage.CharLayer.Clear();
    m_stage.StageImage.Assign(m_stage.BackgroundImage);
    BeginPage();
    Present();
}

void TMainForm::OpenGameMenu()
{
    // The game menu window arrives with the dialogs; until then a right click only
    // consumes the latch.
    m_services.Log.Event("gamemenu");
}

void TMainForm::FormKeyDown(const InputEvent& key)
{
    if (key.key == "Escape") {
        m_timer.SetEnabled(false, m_services.Time.NowMs());
        if (m_services.Messages.AskYesNo("本を閉じる", "終了してよろしいですか？")) FormClose();
        m_timer.SetEnabled(true, m_services.Time.NowMs());
        return;
    }
    if ((key.key == "Return" && key.alt) || key.key == "F11") {
        SwitchDisplay(!m_fullScreen);
        return;
    }
    if (key.key == "Space" || key.key == "Return") {
        if (m_state.Click.Pressed) return;
        m_state.Click.Latch(0, 0, MouseButton::Left);
        // The pointer goes to the window's corner, above the first choice of a menu.
        FormMouseMove(4, 4);
        m_state.SkipMode = false;
        return;
    }
    if (!m_game.Values.DebugMode) return;
    if (key.key == "F7") {
        PanicStop();
    } else if (key.key == "F8" && m_transitions.Active()) {
        SkipTransition();
    }
    // F5 (counters) and F6 (jump) open the debug windows, which come later.
}

void TMainForm::FormMouseDown(MouseButton button, int x, int y)
{
    m_state.SkipMode = false;
    m_state.Click.Latch(x, y, button);
}

void TMainForm::FormMouseMove(int x, int y) { m_state.Mouse = {x, y}; }

void TMainForm::FormClose()
{
    if (m_closed) return;
    m_services.Sound.StopMusic();
    m_services.Sound.StopSoundFile();
    if (m_services.Sound.MediaPresent()) m_services.Sound.StopCd();
    m_closed = true;
    m_services.Log.Event("close");
}

void TMainForm::Run()
{
    while (!m_closed) {
        Clock& clock = m_services.Time;
        int64_t deadline = m_timer.Enabled() ? m_timer.DueMs() : clock.NowMs() + 1000;
        if (m_dirty) deadline = std::min(deadline, m_lastPresent + kPresentSpacingMs);
        const std::optional<InputEvent> event = m_services.Window.WaitEvent(deadline);
        if (event) {
            HandleEvent(*event);
            continue;
        }
        m_services.Sound.Poll();
        if (const int lag = m_timer.Fire(clock.NowMs())) TimerTimer(lag);
        FlushPresent(false);
    }
}

void TMainForm::HandleEvent(const InputEvent& event)
{
    switch (event.type) {
    case InputEvent::Type::Quit: FormClose(); break;
    case InputEvent::Type::KeyDown: FormKeyDown(event); break;
    case InputEvent::Type::MouseDown: FormMouseDown(event.button, event.x, event.y); break;
    case InputEvent::Type::MouseMove: FormMouseMove(event.x, event.y); break;
    case InputEvent::Type::FrameNeeded: FlushPresent(true); break;
    }
}

bool TMainForm::PumpMessages()
{
    while (const std::optional<InputEvent> event = m_services.Window.WaitEvent(m_services.Time.NowMs())) {
        HandleEvent(*event);
    }
    m_services.Sound.Poll();
    FlushPresent(false);
    return !m_closed;
}

}  // namespace kelva
