// Conversions between the engine's CP932 text and UTF-8 (terminal, window system,
// story sources). Always CP932, never plain Shift-JIS: only CP932 holds the NEC
// specials such as ① and keeps 0x5C as a backslash.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelva {

// Bytes that are not valid CP932 become U+FFFD.
std::string Cp932ToUtf8(std::string_view text);
// For a terminal or a window: UTF-8, with CR LF and lone CR turned into LF.
std::string ToDisplayText(std::string_view cp932);
// nullopt when the text holds a character that CP932 cannot hold, or invalid UTF-8.
std::optional<std::string> Utf8ToCp932(std::string_view text);

}  // namespace kelva
