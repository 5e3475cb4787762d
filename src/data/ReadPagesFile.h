// The file of pages read: which pages of one game the reader has already seen, so that
// skipping can stop at the first new one. A page is named by a fingerprint of its item
// (the item's name and every line of its script) and the reading position its text
// starts at; a page whose item was edited in any way counts as unread again.
//
// Layout, little-endian: "KNRP", the version (int32, 1), the count (int32), then per page
// the item fingerprint (two int32s, low half first), the line (int32, 0-based) and the
// character (int32, 1-based byte position), and last the FNV-1a hash (32 bits) of all
// the bytes before it.
#pragma once

#include <compare>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

inline constexpr int kReadPagesVersion = 1;
// Far more pages than any story has; the file stays below 5 MB.
inline constexpr size_t kMaxReadPages = size_t{1} << 18;

struct ReadPage {
    uint64_t Item = 0;
    int32_t Line = 0;
    int32_t Character = 1;
    auto operator<=>(const ReadPage&) const = default;
};

// The fingerprint of an item from its name and script lines (64-bit FNV-1a).
uint64_t ItemFingerprint(std::string_view name, const std::vector<std::string>& lines);

std::vector<uint8_t> EncodeReadPages(const std::set<ReadPage>& pages);
// Reads a whole file of pages into `pages`. Empty on success; otherwise what is wrong
// with the file, and `pages` is left as it was.
std::string DecodeReadPages(const std::vector<uint8_t>& bytes, std::set<ReadPage>& pages);

}  // namespace kelva
