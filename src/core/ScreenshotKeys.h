// Screenshots: F12 or PrintScreen saves the stage as the window shows it, dialog windows
// and all (what the reader saw when pressing the key), as a PNG file in the screenshot
// folder, and says so in the window's caption for two seconds, a failure too.
#pragma once

#include <cstdint>
#include <string>

#include "core/ReaderTool.h"
#include "core/StagePresenter.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"

namespace kelva {

// "GAME-YYYYMMDD-HHMMSS.png", and from the second `attempt` on "GAME-YYYYMMDD-HHMMSS-N.png"
// with N = attempt: a second screenshot within the same second gets a name of its own.
std::string ScreenshotFileName(const std::string& game, const TLocalDateTime& time, int attempt);

class ScreenshotKeys final : public ReaderTool {
public:
    static constexpr int kCaptionMs = 2000;

    // All borrowed. Files go to `folder` (made when missing; empty when there is no place
    // for them), named after `game`; `caption` (CP932) is the window's caption to come
    // back to.
    ScreenshotKeys(StagePresenter& presenter, StageWindow& window, Clock& clock, LocalTime& localTime,
                   std::string folder, std::string game, std::string caption);

    bool HandleKey(const InputEvent& key) override;
    void Poll(int64_t nowMs) override;

    // Saves the shown stage; the caption says where, or why not.
    void Take();

private:
    // The file written, or why none was (an errno value; 0 with an empty path: no folder).
    std::string Save(int& error);

    StagePresenter& m_presenter;
    StageWindow& m_window;
    Clock& m_clock;
    LocalTime& m_localTime;
    const std::string m_folder;
    const std::string m_game;
    const std::string m_caption;
    int64_t m_restoreAtMs = -1;  // when the caption comes back; -1 while it shows
};

}  // namespace kelva
