#include "core/PageHistory.h"

#include <algorithm>

namespace kelva {

namespace {

bool HasText(const RecordedPage& page)
{
    return std::any_of(page.begin(), page.end(), [](const RecordedLine& line) { return !line.Text.empty(); });
}

}  // namespace

void PageHistory::Type(std::string_view character)
{
    if (!m_lineOpen) m_current.push_back({});
    m_lineOpen = true;
    m_current.back().Text += character;
}

void PageHistory::BreakLine()
{
    // A line ended without a character ("@" alone on a line) still left a blank line.
    if (!m_lineOpen) m_current.push_back({});
    m_lineOpen = false;
}

void PageHistory::EndPage()
{
    // Blank lines at the end of a page show nothing.
    while (!m_current.empty() && m_current.back().Text.empty()) m_current.pop_back();
    if (HasText(m_current)) {
        m_pages.push_back(std::move(m_current));
        if (m_pages.size() > kMaxPages) m_pages.pop_front();
    }
    m_current.clear();
    m_lineOpen = false;
}

void PageHistory::AddChoice(std::string_view caption)
{
    // The menu cleared the page the question was on: the choice joins that page.
    RecordedPage& page = HasText(m_current) || m_pages.empty() ? m_current : m_pages.back();
    if (&page == &m_current) m_lineOpen = false;
    page.push_back({std::string(caption), true});
}

}  // namespace kelva
