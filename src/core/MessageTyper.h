// Types story text into the message area: measures each character in the current text
// style, wraps lines and hangs punctuation, draws it on the screen picture, and moves the
// text cursor, the reading position, the transcript and the record of pages on.
#pragma once

#include <string_view>

#include "core/PageHistory.h"
#include "core/PlayerState.h"
#include "core/Transcript.h"
#include "data/NovelData.h"
#include "graphics/AntiAliasTextout.h"

namespace kelva {

enum class Typed {
    Shown,          // drawn; typing goes on
    ShownPageFull,  // drawn, and it ended the page's last line
    PageFull,       // not drawn: it waits for the next page
};

// The story's own text style: its font, colour and outline or shadow.
void SetStoryStyle(TAntiAliasTextout& text, const FontSpec& storyFont, const CNovelFileHeader& header);

class MessageTyper {
public:
    // All borrowed; `text` carries the current text style.
    MessageTyper(PlayerState& state, TAntiAliasTextout& text, TNkDIB& screen, Transcript& log,
                 PageHistory& history)
        : m_state(state), m_text(text), m_screen(screen), m_log(log), m_history(history)
    {
    }

    // Back to the story's own text style.
    void ResetStyle(const FontSpec& storyFont, const CNovelFileHeader& header)
    {
        SetStoryStyle(m_text, storyFont, header);
    }
    // Types `character`, which ends its line when `lineFinished`. The reading position
    // must already stand after it; it goes back before it when the page is full.
    Typed Type(std::string_view character, bool lineFinished, bool smooth);
    // Reading goes on at the next line and the cursor moves down a line; false (the cursor
    // stays) when no further line fits on the page.
    bool NextLine();

private:
    PlayerState& m_state;
    TAntiAliasTextout& m_text;
    TNkDIB& m_screen;
    Transcript& m_log;
    PageHistory& m_history;
};

}  // namespace kelva
