#include "data/SettingsFile.h"

#include <algorithm>

namespace kelva {

namespace {

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsBinary(unsigned char c)
{
    return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F;
}

}  // namespace

SettingsParseResult SettingsFile::Parse(std::string_view text)
{
    SettingsParseResult result;
    if (text.size() > kMaxBytes) {
        result.Error = "larger than " + std::to_string(kMaxBytes / 1024) + " KiB";
        return result;
    }
    SettingsFile file;
    size_t start = 0;
    int number = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (std::any_of(raw.begin(), raw.end(),
                        [](char c) { return IsBinary(static_cast<unsigned char>(c)); })) {
            result.Error = "line " + std::to_string(number) + ": binary data, not text";
            return result;
        }
        while (raw.ends_with('\r')) raw.remove_suffix(1);
        Line line{std::string(raw), {}, {}};
        const std::string_view content = Trim(raw);
        const size_t equals = content.find('=');
        if (content.empty() || content.starts_with('#') || content.starts_with(';')) {
            // Blank or a comment.
        } else if (equals == std::string_view::npos || Trim(content.substr(0, equals)).empty()) {
            result.Notes.push_back("line " + std::to_string(number) + ": not a \"key = value\" line");
        } else {
            line.Key = Trim(content.substr(0, equals));
            line.Value = Trim(content.substr(equals + 1));
        }
        file.m_lines.push_back(std::move(line));
    }
    result.File = std::move(file);
    return result;
}

std::optional<SettingsFile::Entry> SettingsFile::Get(std::string_view key) const
{
    for (size_t i = m_lines.size(); i-- > 0;) {
        if (m_lines[i].Key == key) return Entry{m_lines[i].Value, static_cast<int>(i) + 1};
    }
    return std::nullopt;
}

void SettingsFile::Set(std::string_view key, std::string_view value)
{
    const std::string text = std::string(key) + " = " + std::string(value);
    for (size_t i = m_lines.size(); i-- > 0;) {
        if (m_lines[i].Key == key) {
            m_lines[i] = {text, std::string(key), std::string(value)};
            return;
        }
    }
    m_lines.push_back({text, std::string(key), std::string(value)});
}

std::string SettingsFile::Text() const
{
    std::string text;
    for (const Line& line : m_lines) text += line.Text + "\n";
    return text;
}

}  // namespace kelva
