// Story text (CP932) for a terminal or a report: UTF-8, with control characters spelled
// out so that a stray byte can't garble the output or split a line.
#pragma once

#include <string>
#include <string_view>

namespace kelva::knovel {

// UTF-8; control characters (a tab included) as "\xNN", invalid bytes as U+FFFD.
std::string Printable(std::string_view cp932);
// The same between double quotes, with quotes and backslashes inside escaped.
std::string QuotedPrintable(std::string_view cp932);

}  // namespace kelva::knovel
