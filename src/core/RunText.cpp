// Typing story text: one character per timer interval into the message area, with
// key-wait marks, line joins and full pages; and the key wait itself.
#include <string_view>

#include "core/MessageLayout.h"
#include "core/RunMain.h"
#include "data/ShiftJis.h"
#include "graphics/RunCommon.h"

namespace kelva {

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
            ++state.Position.Line;
            m_commands.Execute(line);
            return;
        }
        const size_t at = static_cast<size_t>(state.Position.Character - 1);
        if (at >= line.size()) {  // a wait left the position at the line's end
            state.Position = {1, state.Position.Line + 1};
            return;
        }
        const std::string_view character(line.data() + at, SjisCharLength(line, at));
        state.Position.Character += static_cast<int>(character.size());
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
        const Typed typed = m_typer.Type(character, lineFinished, m_story.Header.SmoothText);
        if (typed != Typed::PageFull) m_presenter.MarkChanged();
        if (typed != Typed::Shown) {
            state.PageFull = true;
            SetMode(PlayerMode::KeyWait);
            return;
        }
    }
}

void TMainForm::StepKeyWait(int lagCount)
{
    PlayerState& state = m_state;
    const TRect icon = KeyWaitIconArea(state.TextCursor);
    if (!icon.IsEmpty()) {
        CopyRect(m_stage.StageImage, m_stage.ScreenImage,
                 TRect{icon.Left, icon.Top, icon.Right - 1, icon.Bottom - 1});
    }
    const int elapsedMs = lagCount * m_timer.Interval();
    if (state.SkipMode) {
        state.Click.Latch(0, 0, MouseButton::Left);
    } else {
        SetTimerInterval(m_textInterval);
        if (m_autoAdvance.Due(elapsedMs, m_windows.Showing())) state.Click.Latch(0, 0, MouseButton::Left);
    }
    if (state.Click.Pressed && state.Click.Button == MouseButton::Right) {
        OpenGameMenu();
        state.Click.Clear();
        return;
    }
    if (state.Click.Pressed) {
        state.Click.Clear();
        EndKeyWait();
    } else {
        const TPoint at{state.TextCursor.X + 1, state.TextCursor.Y + 3};
        DrawKeyWaitIcon(m_stage.KeyWaitImage, m_stage.ScreenImage, at.X, at.Y,
                        KeyWaitBlinkFrame(state.TickTotal, m_timer.Interval()));
        // The icon reaches a column past the area it is erased from.
        PresentRect(TRect::Bounds(at.X, at.Y, kKeyWaitIconSize, kKeyWaitIconSize));
    }
    // Redrawn every tick, the icon still reaches the window only when its blink frame
    // changes: the presenter shows only pixels that differ.
    PresentRect(icon);
}

// Back to text directly, without the mode's entry work: the text style stays.
void TMainForm::EndKeyWait()
{
    PlayerState& state = m_state;
    state.Mode = PlayerMode::Text;
    const CNovelItem* item = CurrentItem();
    const int lineLength =
        item && state.Position.Line < static_cast<int>(item->Lines.size())
            ? static_cast<int>(item->Lines[static_cast<size_t>(state.Position.Line)].size())
            : 0;
    // A wait at the end of a line goes on at the next.
    if (lineLength < state.Position.Character && !m_typer.NextLine()) state.PageFull = true;
    if (state.PageFull) {
        TurnPage();
        m_services.Log.Event("page");
    }
    m_skip.TextBegins(item, state.Position);
}

}  // namespace kelva
