// Typing story text: one character per timer interval into the message area, with line
// wrapping, key-wait marks, line joins and full pages.
#include <algorithm>
#include <string_view>

#include "core/RunMain.h"
#include "data/ShiftJis.h"

namespace kelva {

namespace {

// Never moved to a new line: they hang past the right margin instead.
bool IsHangingPunctuation(std::string_view character)
{
    return character == "、" || character == "。" || character == "！" || character == "？" || character == "」";
}

int LineStep(const TPoint& charSize) { return charSize.Y * 140 / 100; }

// Whether another line fits below the one at `y`.
bool LineFitsBelow(int y, int lineStep) { return y + 2 * lineStep < kMessageArea.Bottom; }

// The blink period is 250 ms a frame; an interval above that shows each frame for one tick.
int BlinkFrame(int tickTotal, int interval)
{
    const int ticksPerFrame = std::max(1, 250 / std::max(1, interval));
    return (tickTotal / ticksPerFrame) % 2;
}

}  // namespace

TRect TMainForm::IconArea() const
{
    const TPoint cursor = m_state.TextCursor;
    return TRect{cursor.X, cursor.Y, cursor.X + 24, cursor.Y + 27}.Intersect(TRect{0, 0, kStageWidth, kStageHeight});
}

void TMainForm::StepText(int lagCount)
{
    const CNovelItem* item = CurrentItem();
    PlayerState& state = m_state;
    for (int n = 0; n < lagCount; ++n) {
        if (!item || state.Position.Line >= static_cast<int>(item->Lines.size())) {
            m_services.Log.FlushText();
            SetMode(PlayerMode::Link);
            return;
        }
        const std::string& line = item->Lines[static_cast<size_t>(state.Position.Line)];
        if (line.empty()) {
            ++state.Position.Line;
            return;
        }
        if (state.Position.Character == 1 && line[0] == '.') {
            // One command a tick; the rest of the tick's characters are not used.
            ParseCommand(line, m_tokens);
            ++state.Position.Line;
            ExecuteCommand();
            return;
        }

        const size_t at = static_cast<size_t>(state.Position.Character - 1);
        if (at >= line.size()) {  // a wait left the position at the line's end
            state.Position = {1, state.Position.Line + 1};
            return;
        }
        const size_t length = SjisCharLength(line, at);
        const std::string_view character(line.data() + at, length);
        state.Position.Character += static_cast<int>(length);
        const bool lineFinished = static_cast<size_t>(state.Position.Character - 1) >= line.size();

        if (character == "@") {
            m_services.Log.FlushText();
            state.PageFull = false;
            SetMode(PlayerMode::KeyWait);
            return;
        }
        if (character == ";" && lineFinished) {
            state.Position = {1, state.Position.Line + 1};
            return;
        }

        m_textRenderer.Target = &m_stage.ScreenImage;
        m_textRenderer.Smooth = m_story.Header.SmoothText;
        const TPoint size = m_textRenderer.MeasureText(character);
        state.LastCharSize = size;
        const int lineStep = LineStep(size);
        TPoint& cursor = state.TextCursor;
        if (!IsHangingPunctuation(character) && cursor.X + size.X / 2 > kMessageArea.Right) {
            if (!LineFitsBelow(cursor.Y, lineStep)) {
                state.Position.Character -= static_cast<int>(length);
                m_services.Log.FlushText();
                state.PageFull = true;
                SetMode(PlayerMode::KeyWait);
                return;
            }
            cursor = {kMessageArea.Left, cursor.Y + lineStep};
        }
        m_textRenderer.DrawText(cursor.X, cursor.Y, character);
        m_services.Log.Typed(character);
        PresentRect(TRect::Bounds(cursor.X, cursor.Y, size.X + 2, size.Y));
        cursor.X += size.X;

        if (lineFinished) {
            state.Position = {1, state.Position.Line + 1};
            m_services.Log.FlushText();
            if (!LineFitsBelow(cursor.Y, lineStep)) {
                state.PageFull = true;
                SetMode(PlayerMode::KeyWait);
                return;
            }
            cursor = {kMessageArea.Left, cursor.Y + lineStep};
        }
    }
}

void TMainForm::StepKeyWait()
{
    PlayerState& state = m_state;
    const TRect icon = IconArea();
    if (!icon.IsEmpty()) {
        CopyRect(m_stage.StageImage, m_stage.ScreenImage, TRect{icon.Left, icon.Top, icon.Right - 1, icon.Bottom - 1});
    }
    if (state.SkipMode) {
        state.Click.Latch(0, 0, MouseButton::Left);
    } else {
        SetTimerInterval(m_textInterval);
    }

    if (state.Click.Pressed) {
        if (state.Click.Button == MouseButton::Right) {
            OpenGameMenu();
            state.Click.Clear();
            return;
        }
        state.Click.Clear();
        // Back to text directly, without the mode's entry work: the text style stays.
        state.Mode = PlayerMode::Text;
        const CNovelItem* item = CurrentItem();
        const int lineLength = item && state.Position.Line < static_cast<int>(item->Lines.size())
                                   ? static_cast<int>(item->Lines[static_cast<size_t>(state.Position.Line)].size())
                                   : 0;
        if (lineLength < state.Position.Character) {
            // The wait came at the end of a line.
            const int lineStep = LineStep(state.LastCharSize);
            state.Position = {1, state.Position.Line + 1};
            if (LineFitsBelow(state.TextCursor.Y, lineStep)) {
                state.TextCursor = {kMessageArea.Left, state.TextCursor.Y + lineStep};
            } else {
                state.PageFull = true;
            }
        }
        if (state.PageFull) {
            Yield();
            BeginPage();
            Present();
            m_services.Log.Event("page");
        }
        PresentRect(icon);
        return;
    }
    DrawKeyWaitIcon(m_stage.KeyWaitImage, m_stage.ScreenImage, state.TextCursor.X + 1, state.TextCursor.Y + 3,
                    BlinkFrame(state.TickTotal, m_timer.Interval()));
    PresentRect(icon);
}

}  // namespace kelva
