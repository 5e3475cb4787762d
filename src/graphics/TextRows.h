// Lines of CP932 text drawn and wrapped a character at a time, as story text is typed: the
// renderer draws short pieces, and each character advances by its measured width.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "graphics/AntiAliasTextout.h"

namespace kelva {

// Draws `line` from (x, y) into the renderer's target; returns the x after its last character.
int DrawCharacters(TAntiAliasTextout& text, int x, int y, std::string_view line);

// The width `line` takes drawn so.
int LineWidth(const TAntiAliasTextout& text, std::string_view line);

// Cuts `line` into rows no wider than `width` pixels, between characters (a row holds at
// least one character, however narrow `width`). An empty line is one empty row.
std::vector<std::string> WrapToWidth(const TAntiAliasTextout& text, std::string_view line, int width);

}  // namespace kelva
