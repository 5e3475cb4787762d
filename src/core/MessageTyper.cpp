#include "core/MessageTyper.h"

#include "core/MessageLayout.h"

namespace kelva {

void SetStoryStyle(TAntiAliasTextout& text, const FontSpec& storyFont, const CNovelFileHeader& header)
{
    text.Font = storyFont;
    text.FilterSize = 3;
    text.TextColor = header.TextColor;
    text.Decoration = header.TextEdgeStyle != 0 ? kDecorationShadow : kDecorationOutline;
    text.EdgeColor = header.EdgeColor;
}

Typed MessageTyper::Type(std::string_view character, bool lineFinished, bool smooth)
{
    m_text.Target = &m_screen;
    m_text.Smooth = smooth;
    const TPoint size = m_text.MeasureText(character);
    m_state.LastCharSize = size;
    TPoint& cursor = m_state.TextCursor;
    switch (PlaceCharacter(cursor, size, character)) {
        case Placement::Here:
            break;
        case Placement::NextLine:
            cursor = {kMessageArea.Left, cursor.Y + LineStep(size.Y)};
            m_history.BreakLine();
            break;
        case Placement::PageFull:
            m_state.Position.Character -= static_cast<int>(character.size());
            m_log.FlushText();
            return Typed::PageFull;
    }
    m_text.DrawText(cursor.X, cursor.Y, character);
    m_log.Typed(character);
    if (character != " " && character != "　") ++m_state.CharactersShown;
    m_history.Type(character);
    cursor.X += size.X;
    if (!lineFinished) return Typed::Shown;
    m_log.FlushText();
    return NextLine() ? Typed::Shown : Typed::ShownPageFull;
}

bool MessageTyper::NextLine()
{
    const int lineStep = LineStep(m_state.LastCharSize.Y);
    m_state.Position = {1, m_state.Position.Line + 1};
    m_history.BreakLine();
    if (!LineFitsBelow(m_state.TextCursor.Y, lineStep)) return false;
    m_state.TextCursor = {kMessageArea.Left, m_state.TextCursor.Y + lineStep};
    return true;
}

}  // namespace kelva
