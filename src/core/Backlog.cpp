#include "core/Backlog.h"

#include "core/MessageLayout.h"
#include "core/MessageTyper.h"
#include "core/PausedModal.h"

namespace kelva {

namespace {

void AddPage(std::vector<BacklogLine>& lines, const RecordedPage& page)
{
    bool first = true;
    for (const RecordedLine& line : page) {
        lines.push_back({line.Text, line.Choice, first});
        first = false;
    }
}

}  // namespace

std::vector<BacklogLine> BacklogLines(const PageHistory& pages)
{
    std::vector<BacklogLine> lines;
    for (const RecordedPage& page : pages.Pages()) AddPage(lines, page);
    AddPage(lines, pages.Current());
    return lines;
}

void Backlog::Show(const TNkDIB& stage)
{
    TAntiAliasTextout& text = m_form.Text();
    SetStoryStyle(text, m_storyFont, m_header);
    text.Smooth = m_header.SmoothText;
    // Rows as far apart as the story's lines, in the message area's place.
    m_form.Prepare(stage, BacklogLines(m_pages), kMessageArea, LineStep(text.MeasureText("あ").Y));
    m_log.Event("backlog");
    ShowModalPaused(m_windows, m_form, m_timer, m_clock);
}

}  // namespace kelva
