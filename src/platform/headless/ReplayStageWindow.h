#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/headless/RecordingMessageBox.h"
#include "platform/headless/ReplayScript.h"

namespace kelva {

// A stage window driven by replay events. It keeps the last picture presented so "dump"
// events can write it as PNG (making the dump folder when needed), and hands "answer"
// events to the message box: an answer given before its question waits for it, and a
// question asked first waits for the next answer, as a modal box would. When the
// events run out, it reports Quit: nothing more can happen. Without a display it only
// moves the clock; given a real window (`shown`), it also shows everything there and
// passes on that window's own input, for replays on the real clock.
class ReplayStageWindow final : public StageWindow {
public:
    ReplayStageWindow(Clock& clock, RecordingMessageBox& messages, std::vector<ReplayEvent> events,
                      std::string dumpDir, StageWindow* shown = nullptr);
    ~ReplayStageWindow() override;
    ReplayStageWindow(const ReplayStageWindow&) = delete;
    ReplayStageWindow& operator=(const ReplayStageWindow&) = delete;

    void SetTitle(std::string_view title) override;
    bool Show(bool fullScreen, int bitsPerPixel) override;
    void Present(const uint8_t* pixels, int pitch, const StageArea& changed) override;
    void SetPointer(Pointer pointer) override;
    void MovePointer(int x, int y) override;
    // A shown window's modes; without one, a 640 x 480 display at 32 bits per pixel.
    std::vector<DisplayMode> DisplayModes() override;
    std::optional<InputEvent> WaitEvent(int64_t deadlineMs) override;
    void SetTextInput(bool on) override;
    void SetWindowScale(int factor) override;

    // More events, after those given, at times from the same replay start.
    void Append(const std::vector<ReplayEvent>& events)
    {
        m_events.insert(m_events.end(), events.begin(), events.end());
    }

    const std::string& Title() const { return m_title; }
    bool IsShown() const { return m_shown; }
    bool IsFullScreen() const { return m_fullScreen; }
    Pointer CurrentPointer() const { return m_pointer; }
    // The window scale last asked for; 1 when none was.
    int WindowScale() const { return m_windowScale; }
    // Where the pointer was last moved to; nullopt when it never was.
    std::optional<std::pair<int, int>> MovedPointer() const { return m_movedPointer; }
    // The last presented stage, 640 x 480 blue-green-red rows without padding.
    const std::vector<uint8_t>& Screen() const { return m_screen; }
    // How many times a stage was presented.
    int Presents() const { return m_presents; }

private:
    void Dump(const std::string& name);
    // The next answer of the replay, for a question now open: the time runs on to it, and
    // what comes before it is dumped or goes to the question's box (input is dropped).
    std::optional<bool> NextAnswer();
    // Waits until the clock reaches `ms`; a shown window's own input ends the wait.
    std::optional<InputEvent> WaitUntil(int64_t ms);

    Clock& m_clock;
    RecordingMessageBox& m_messages;
    StageWindow* m_shownWindow;
    int64_t m_origin;  // clock time of replay time 0
    std::vector<ReplayEvent> m_events;
    size_t m_next = 0;
    std::string m_dumpDir;
    std::string m_title;
    bool m_shown = false;
    bool m_fullScreen = false;
    bool m_frameAsked = false;
    int m_presents = 0;
    int m_windowScale = 1;
    Pointer m_pointer = Pointer::Arrow;
    std::optional<std::pair<int, int>> m_movedPointer;
    std::vector<uint8_t> m_screen;
};

}  // namespace kelva
