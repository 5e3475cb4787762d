// A message box's words as one line on stderr, "caption: text" in UTF-8, so that what a
// box said is kept in the terminal or log even where no box can be shown.
#pragma once

#include <string_view>

namespace kelva {

void PrintMessageLine(std::string_view caption, std::string_view text);

}  // namespace kelva
