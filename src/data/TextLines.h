// Splitting stored text into lines and joining it again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelva {

// Splits at each CR LF, lone CR or lone LF. A line break at the very end adds no empty
// line, empty text gives no lines, and a NUL byte ends the text (what follows is ignored).
// Shift-JIS trail bytes are never CR, LF or NUL, so no character is cut.
std::vector<std::string> SplitLines(std::string_view text);

// Ends every line with CR LF, so SplitLines gives the same lines back, a last empty line
// included. Lines must not themselves hold CR, LF or NUL.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace kelva
