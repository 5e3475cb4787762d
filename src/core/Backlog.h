// The backlog wired to the stage: the text of the pages read so far, shown in the story's
// font over the stage, modal with the frame timer stopped. The current page comes last,
// below the finished ones.
#pragma once

#include <vector>

#include "core/FrameTimer.h"
#include "core/PageHistory.h"
#include "core/Transcript.h"
#include "data/NovelData.h"
#include "graphics/FontSpec.h"
#include "platform/Clock.h"
#include "ui/BacklogForm.h"
#include "ui/WindowLayer.h"

namespace kelva {

// The lines the backlog shows for `pages`: the finished pages, oldest first, then the
// page being typed; each page's first line starts a page.
std::vector<BacklogLine> BacklogLines(const PageHistory& pages);

class Backlog {
public:
    // All borrowed; the text is drawn in `storyFont` with the colours of `header`.
    Backlog(const PageHistory& pages, const FontSpec& storyFont, const CNovelFileHeader& header,
            WindowLayer& windows, FrameTimer& timer, Clock& clock, FontRasteriser& fonts, Transcript& log)
        : m_pages(pages),
          m_storyFont(storyFont),
          m_header(header),
          m_windows(windows),
          m_timer(timer),
          m_clock(clock),
          m_log(log),
          m_form(fonts)
    {
    }

    // Shows the backlog over `stage` until the reader closes it.
    void Show(const TNkDIB& stage);

private:
    const PageHistory& m_pages;
    const FontSpec& m_storyFont;
    const CNovelFileHeader& m_header;
    WindowLayer& m_windows;
    FrameTimer& m_timer;
    Clock& m_clock;
    Transcript& m_log;
    TBacklogForm m_form;
};

}  // namespace kelva
