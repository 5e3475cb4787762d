// Runs the real stage window headless on a virtual clock, with a rasteriser of fixed
// metrics, so tests can walk a story tick by tick and read what it did.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/RunMain.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMessageBox.h"
#include "platform/headless/ReplayStageWindow.h"
#include "support/RecordingStageSound.h"

namespace kelva::test {

// Every character is a filled block. At double size it measures 53 x 57, so the text
// renderer (filter size 3) lays characters out 28 wide and 30 high.
class BlockRasteriser final : public FontRasteriser {
public:
    TextExtent MeasureText(const FontSpec&, std::string_view text) override
    {
        return text.empty() ? TextExtent{0, 57} : TextExtent{53, 57};
    }
    void DrawText(const FontSpec&, std::string_view text, const GreyBuffer& target, int x, int y,
                  RasterMode) override;
};

class StageHarness {
public:
    // Items: each a name, kind and script lines; counters as given. The transcript goes to
    // `transcriptPath` when one is given, and replay dumps to `dumpDir`; the pages read are
    // read from and written to `readPagesPath` when one is given, else kept in memory.
    explicit StageHarness(CNovelItems items, CNovelCounters counters = {}, CNovelFileHeader header = {},
                          const std::string& transcriptPath = "", const std::string& readPagesPath = "",
                          const std::string& dumpDir = "");

    TMainForm& Form() { return *m_form; }
    ReplayStageWindow& Window() { return m_window; }
    // Queues replay events ("T click X Y" …) at times T counted from now; the window hands
    // them to the stage's loop (and to a dialog's loop nested in it).
    void Replay(const std::string& script);
    PlayerState& State() { return m_form->State(); }
    RecordingMessageBox& Messages() { return m_messages; }
    ManualClock& Clock() { return m_clock; }
    RecordingStageSound& Sound() { return m_sound; }
    LoadedGame& Game() { return m_game; }
    Transcript& Log() { return m_transcript; }
    // The reader's settings the stage reads, to change before or while it runs.
    ReaderSettings& Settings() { return m_settings; }
    ReadPages& Pages() { return m_readPages; }
    // What the record of pages read reported.
    const std::vector<std::string>& Warnings() const { return m_warnings; }
    const TNkDIB& Screen() { return m_form->Stage().ScreenImage; }

    // One timer tick with the given lag (the clock moves by lag intervals first).
    void Tick(int lag = 1);
    // Switches the display and runs the logo and title screens until the title waits
    // for a click.
    void RunTitleToClick();
    static constexpr int kTitleWaitStep = TitleSequence::kWaitStep;
    // Switches the display, starts the story from the title screen and lets the first
    // transition finish.
    void StartReading();
    void Click(int x = 100, int y = 100, MouseButton button = MouseButton::Left);

private:
    ManualClock m_clock;
    RecordingMessageBox m_messages{false};
    ReplayStageWindow m_window;
    BlockRasteriser m_fonts;
    RecordingStageSound m_sound;
    Transcript m_transcript;
    LoadedGame m_game;
    ReaderSettings m_settings;
    std::vector<std::string> m_warnings;
    ReadPages m_readPages;
    std::unique_ptr<TMainForm> m_form;
};

// An item with the given lines.
CNovelItem MakeItem(const std::string& name, uint8_t kind, std::vector<std::string> lines);
// The items and counters of a story, in order.
CNovelItems Items(std::initializer_list<CNovelItem> list);
CNovelCounters Counters(std::initializer_list<CNovelCounter> list);

}  // namespace kelva::test
