// The stage window: the player itself. It walks the story's items tick by tick (text,
// key waits, links, the title), carries out command lines and follows links. The frame
// timer is its only driver; input handlers only fill the click latch, switch skip mode
// off or open windows. Layout, the choice menu's picture, the display and presenting
// are classes of their own; this form wires them to the story.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "core/AutoAdvance.h"
#include "core/Backlog.h"
#include "core/ChoiceKeys.h"
#include "core/ChoiceMenuView.h"
#include "core/DebugBar.h"
#include "core/DebugKeys.h"
#include "core/FrameTimer.h"
#include "core/KeyHelp.h"
#include "core/MessageTyper.h"
#include "core/PageHistory.h"
#include "core/ReadPages.h"
#include "core/ReaderSettings.h"
#include "core/ReaderTool.h"
#include "core/SkipControl.h"
#include "core/StageCommands.h"
#include "core/StageDisplay.h"
#include "core/StageLoop.h"
#include "core/StagePresenter.h"
#include "core/StageServices.h"
#include "core/TitleSequence.h"
#include "data/MediaFiles.h"
#include "ui/WindowLayer.h"
#include "ui/YesNoForm.h"

namespace kelva {

class TMainForm final : private TransitionHost, private StageLoopClient, private DebugHost {
public:
    // `fullScreen` overrides the header's StartWindowed when set. `settings` and
    // `readPages` are borrowed; the pages read are recorded as reading goes on.
    TMainForm(LoadedGame& game, StageServices services, const ReaderSettings& settings, ReadPages& readPages,
              std::optional<bool> fullScreen);

    // Runs the stage until its window is closed.
    void Run();
    // The loop the stage runs on; a nested wait (a CD search, a modal window) runs it too.
    StageLoop& Loop() { return m_loop; }
    WindowLayer& Windows() { return m_windows; }
    // Asks the reader through the yes/no dialog; true for "ＯＫ".
    bool Confirm(std::string_view caption, std::string_view question);
    // Shows the bookmark book: for reading at the title (false) or for recording at an
    // ending (true), when the story keeps bookmarks there.
    void SetBookmarkBook(std::function<void(bool recording)> show) { m_showBookmarkBook = std::move(show); }
    // Opens the game menu, on a right click while the story waits or offers its choices.
    void SetGameMenu(std::function<void()> open) { m_openGameMenu = std::move(open); }

    // A reader's tool (borrowed, to outlive the stage's loop) takes keys before the story.
    void AddReaderTool(ReaderTool& tool) { m_readerTools.push_back(&tool); }
    StagePresenter& Presenter() { return m_presenter; }

    // One frame-timer tick and the input handlers, public so tests can drive them.
    void TimerTimer(int lagCount) override;
    void FormKeyDown(const InputEvent& key) override;
    void FormMouseDown(MouseButton button, int x, int y) override;
    void FormMouseMove(int x, int y) override;
    void FormKeyUp(const InputEvent& key) override;
    void FormMouseWheel(int steps) override;
    void FormClose() override;

    void SetMode(PlayerMode mode) override;
    void StartStory();
    // Carries out one command line (".MidiPlay name", ".CDStop" …) as a script line would.
    void ExecuteCommandLine(std::string_view line) { m_commands.Execute(line); }
    void BeginPage() override;
    void Present() override;
    void PresentRect(const TRect& rect) override;

    PlayerState& State() { return m_state; }
    // Skip mode's switch, for the game menu and the held skip key.
    SkipControl& Skip() { return m_skip; }
    const AutoAdvance& AutoAdvancing() const { return m_autoAdvance; }
    StageImages& Stage() { return m_stage; }
    const Transitions& TransitionsInUse() const { return m_transitions; }
    const FrameTimer& Timer() const { return m_timer; }
    int TextInterval() const override { return m_textInterval; }
    bool Closed() const override { return m_closed; }
    bool FullScreen() const { return m_display.FullScreen(); }
    void SwitchDisplay(bool fullScreen);
    void SetTimerInterval(int milliseconds) override;

private:
    // TransitionHost
    int64_t NowMs() override { return m_services.Time.NowMs(); }
    // StageLoopClient
    void Idle() override;

    void RunTick(int lagCount);
    void StepText(int lagCount);
    void StepKeyWait(int lagCount);
    void EndKeyWait();
    void StepLink();
    void StepMenuLink();
    bool ChooseByKey(Key key);
    void DrawMenu();
    void StepAutoLink();
    void StepEndItem();
    void StepTitle();
    // A new page shown at once: the page-start record taken, the picture presented.
    void TurnPage();
    void EnterItem(int index);
    void OpenGameMenu();
    // The backlog, at a key wait or over the choices.
    void OpenBacklog();
    const CNovelItem* CurrentItem() const;

    LoadedGame& m_game;
    NovelStory& m_story;
    StageServices m_services;
    const ReaderSettings& m_reader;
    std::optional<bool> m_fullScreenOverride;

    MediaFiles m_media;
    StageImages m_stage;
    TAntiAliasTextout m_textRenderer;
    PageHistory m_pageHistory;
    MessageTyper m_typer;
    Transitions m_transitions;
    FrameTimer m_timer;
    PlayerState m_state;
    StageCommands m_commands;
    StageDisplay m_display;
    StagePresenter m_presenter;
    WindowLayer m_windows;
    StageLoop m_loop;
    DebugBar m_debugBar;
    DebugKeys m_debugKeys;
    ChoiceMenuView m_menu;
    ChoiceKeys m_choiceKeys;
    Backlog m_backlog;
    KeyHelp m_keyHelp;
    TitleSequence m_title;
    TYesNoForm m_yesNo;
    ReadPages& m_readPages;
    SkipControl m_skip;
    AutoAdvance m_autoAdvance;
    std::function<void(bool recording)> m_showBookmarkBook;
    std::function<void()> m_openGameMenu;
    std::vector<ReaderTool*> m_readerTools;

    int m_textInterval = 30;
    bool m_modeSwitched = false;
    bool m_closed = false;
};

}  // namespace kelva
