#include "support/StageHarness.h"

#include <gtest/gtest.h>

namespace kelva::test {

void BlockRasteriser::DrawText(const FontSpec&, std::string_view text, const GreyBuffer& target, int x, int y,
                               RasterMode)
{
    if (text.empty()) return;
    for (int row = std::max(0, y + 4); row < std::min(target.Height, y + 53); ++row) {
        for (int col = std::max(0, x + 4); col < std::min(target.Width, x + 49); ++col) {
            target.Bits[static_cast<size_t>(row) * target.Stride + col] = 255;
        }
    }
}

StageHarness::StageHarness(CNovelItems items, CNovelCounters counters, CNovelFileHeader header,
                           const std::string& transcriptPath, const std::string& readPagesPath,
                           const std::string& dumpDir)
    : m_window(m_clock, m_messages, {}, dumpDir),
      m_transcript(m_clock, transcriptPath),
      m_readPages(readPagesPath, [this](const std::string& warning) { m_warnings.push_back(warning); })
{
    m_readPages.Load();
    m_game.Story = std::make_unique<NovelStory>();
    m_game.Story->Header = header;
    m_game.Story->Items = std::move(items);
    m_game.Story->InitialCounters = counters;
    m_game.Story->Counters = counters;
    m_game.StoryFont = FontSpec{kGothicFace, header.FontHeight, false};
    m_form = std::make_unique<TMainForm>(
        m_game, StageServices{m_window, m_clock, m_messages, m_sound, m_fonts, m_transcript}, m_settings,
        m_readPages, false);
}

void StageHarness::Replay(const std::string& script)
{
    ReplayParseResult parsed = ParseReplayScript(script);
    ASSERT_EQ(parsed.error, "");
    for (ReplayEvent& event : parsed.events) event.timeMs += m_clock.NowMs();
    m_window.Append(parsed.events);
}

void StageHarness::Tick(int lag)
{
    m_clock.Advance(static_cast<int64_t>(lag) * m_form->Timer().Interval());
    m_form->TimerTimer(lag);
}

void StageHarness::Click(int x, int y, MouseButton button)
{
    m_form->FormMouseDown(button, x, y);
}

void StageHarness::RunTitleToClick()
{
    if (State().Mode != PlayerMode::Title) return;
    Tick();  // the first tick switches the display
    while (State().TitleStep < kTitleWaitStep || m_form->TransitionsInUse().Active()) Tick();
}

void StageHarness::StartReading()
{
    RunTitleToClick();
    Click();
    Tick();  // the title step sees the click and starts the story
    while (m_form->TransitionsInUse().Active()) Tick();
}

CNovelItem MakeItem(const std::string& name, uint8_t kind, std::vector<std::string> lines)
{
    CNovelItem item;
    item.Name = name;
    item.Kind = kind;
    item.Lines = std::move(lines);
    item.Links[0].Enabled = false;
    return item;
}

CNovelItems Items(std::initializer_list<CNovelItem> list)
{
    CNovelItems items;
    for (const CNovelItem& item : list) *items.Add() = item;
    return items;
}

CNovelCounters Counters(std::initializer_list<CNovelCounter> list)
{
    CNovelCounters counters;
    for (const CNovelCounter& counter : list) counters.Add(counter);
    return counters;
}

}  // namespace kelva::test
