// A settings file of `key = value` lines, as a reader edits it by hand: blank lines and
// comments (`#` or `;` first) between them. The file is kept line by line, so writing it
// back keeps the comments, keys this version doesn't know and their order; setting a key
// rewrites only its own line, or adds one at the end.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

struct SettingsParseResult;

class SettingsFile {
public:
    // More than any hand-written settings file holds; a larger one is not read at all.
    static constexpr size_t kMaxBytes = 64 * 1024;

    // A value and the line (from 1) it stands on.
    struct Entry {
        std::string Value;
        int Line = 0;
    };

    // Reads `text`. Text larger than kMaxBytes, or holding control characters other than
    // tabs and line ends (binary junk), is refused whole.
    static SettingsParseResult Parse(std::string_view text);

    // The value of `key` (the last line naming it), without the spaces around it.
    std::optional<Entry> Get(std::string_view key) const;
    // Makes `key` hold `value`: its last line is rewritten, or a line is added.
    void Set(std::string_view key, std::string_view value);
    // The file's text: the lines as read, changed where set, each ending in a line feed.
    std::string Text() const;

private:
    struct Line {
        std::string Text;  // as written, without its line end
        std::string Key;   // empty for blank lines, comments and lines without "="
        std::string Value;
    };
    std::vector<Line> m_lines;
};

struct SettingsParseResult {
    std::optional<SettingsFile> File;  // nullopt when the text can't be a settings file
    std::string Error;                 // why not: too large, or binary (which line)
    std::vector<std::string> Notes;    // lines kept but not understood ("line 3: …")
};

}  // namespace kelva
