#include "graphics/TextRows.h"

#include "data/ShiftJis.h"

namespace kelva {

namespace {

// Calls `each` with every character of `line`, a double-byte character whole.
template <typename Each>
void ForEachCharacter(std::string_view line, Each each)
{
    for (size_t at = 0; at < line.size();) {
        const std::string_view character = line.substr(at, SjisCharLength(line, at));
        each(character);
        at += character.size();
    }
}

}  // namespace

int DrawCharacters(TAntiAliasTextout& text, int x, int y, std::string_view line)
{
    ForEachCharacter(line, [&](std::string_view character) {
        text.DrawText(x, y, character);
        x += text.MeasureText(character).X;
    });
    return x;
}

int LineWidth(const TAntiAliasTextout& text, std::string_view line)
{
    int width = 0;
    ForEachCharacter(line, [&](std::string_view character) { width += text.MeasureText(character).X; });
    return width;
}

std::vector<std::string> WrapToWidth(const TAntiAliasTextout& text, std::string_view line, int width)
{
    std::vector<std::string> rows(1);
    int rowWidth = 0;
    ForEachCharacter(line, [&](std::string_view character) {
        const int characterWidth = text.MeasureText(character).X;
        if (rowWidth > 0 && rowWidth + characterWidth > width) {
            rows.emplace_back();
            rowWidth = 0;
        }
        rows.back() += character;
        rowWidth += characterWidth;
    });
    return rows;
}

}  // namespace kelva
