// Shift-JIS (code page 932) helpers: every routine that walks, cuts or compares story text
// treats a lead byte and its trail byte as one character, so a trail byte that happens to
// look like an ASCII letter or separator is never touched.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelva {

inline bool IsSjisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The byte length of the character at `at` (at < text.size()): 2 for a lead byte with its
// trail byte, else 1 (a lead byte at the very end stands alone).
inline size_t SjisCharLength(std::string_view text, size_t at)
{
    return IsSjisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// Upper-cases ASCII letters a-z; double-byte characters pass unchanged.
std::string UpperCaseAscii(std::string_view text);
// Lower-cases ASCII letters A-Z; double-byte characters pass unchanged.
std::string LowerCaseAscii(std::string_view text);

// Name with its extension (from the last full stop after the last folder separator)
// replaced by `extension`, or `extension` appended where it has none. A trail byte that
// looks like "\" is no separator.
std::string ChangeFileExtension(std::string_view name, std::string_view extension);

}  // namespace kelva
