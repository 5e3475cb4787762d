// The text of the pages read so far, for the backlog: each page's lines as they stood
// in the message area (wrapped where they wrapped), and the choices chosen. Only the
// newest kMaxPages finished pages are kept; a page without text is not kept.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

struct RecordedLine {
    std::string Text;     // CP932
    bool Choice = false;  // a choice the reader chose, as the menu showed it
};

using RecordedPage = std::vector<RecordedLine>;

class PageHistory {
public:
    static constexpr size_t kMaxPages = 100;

    // A character was typed on the current line.
    void Type(std::string_view character);
    // The message area's line ended: the next character starts a line below.
    void BreakLine();
    // The page was cleared: the page being typed is kept when it has text.
    void EndPage();
    // The reader chose `caption`: it goes below the page that asked.
    void AddChoice(std::string_view caption);

    // The finished pages, oldest first, and the page being typed.
    const std::deque<RecordedPage>& Pages() const { return m_pages; }
    const RecordedPage& Current() const { return m_current; }

private:
    std::deque<RecordedPage> m_pages;
    RecordedPage m_current;
    bool m_lineOpen = false;  // the current page's last line still takes characters
};

}  // namespace kelva
