#include "core/Transcript.h"

#include <cinttypes>

#include "platform/TextCodec.h"

namespace kelva {

Transcript::Transcript(Clock& clock, const std::string& path) : m_clock(clock)
{
    if (!path.empty()) m_file = std::fopen(path.c_str(), "w");
    if (!path.empty() && !m_file)
        std::fprintf(stderr, "kelvanovelrun: cannot write transcript %s\n", path.c_str());
}

Transcript::~Transcript()
{
    FlushText();
    if (m_file) std::fclose(m_file);
    if (m_hook && m_hook != stdout) std::fclose(m_hook);
}

bool Transcript::OpenTextHook(const std::string& path)
{
    if (m_hook && m_hook != stdout) std::fclose(m_hook);
    m_hook = path == "-" ? stdout : std::fopen(path.c_str(), "w");
    if (!m_hook) std::fprintf(stderr, "kelvanovelrun: cannot write the text hook %s\n", path.c_str());
    return m_hook != nullptr;
}

void Transcript::HookLine(std::string_view cp932)
{
    std::fprintf(m_hook, "%s\n", Cp932ToUtf8(cp932).c_str());
    std::fflush(m_hook);
}

int64_t Transcript::Elapsed()
{
    const int64_t now = m_clock.NowMs();
    if (!m_start) m_start = now;
    return now - *m_start;
}

void Transcript::Event(std::string_view kind, std::string_view text)
{
    FlushText();
    if (m_hook && kind == "choice") HookLine(text);
    if (!m_file) return;
    const std::string shown = ToDisplayText(text);
    // Line breaks inside a message would split the event; show them as " / ".
    std::string oneLine;
    for (char c : shown) oneLine += c == '\n' ? std::string(" / ") : std::string(1, c);
    std::fprintf(m_file, "%" PRId64 " %.*s%s%s\n", Elapsed(), static_cast<int>(kind.size()), kind.data(),
                 oneLine.empty() ? "" : " ", oneLine.c_str());
    std::fflush(m_file);
}

void Transcript::Typed(std::string_view character)
{
    if (!m_file && !m_hook) return;
    if (m_text.empty()) m_textTime = Elapsed();
    m_text += character;
}

void Transcript::FlushText()
{
    if (m_text.empty()) return;
    if (m_file) std::fprintf(m_file, "%" PRId64 " text %s\n", m_textTime, Cp932ToUtf8(m_text).c_str());
    if (m_hook) HookLine(m_text);
    m_text.clear();
}

void TranscribedMessageBox::Show(std::string_view caption, std::string_view text, MessageIcon icon)
{
    m_transcript.Event("message", std::string(caption) + ": " + std::string(text));
    m_inner.Show(caption, text, icon);
}

bool TranscribedMessageBox::AskYesNo(std::string_view caption, std::string_view text)
{
    const bool yes = m_inner.AskYesNo(caption, text);
    m_transcript.Event("question",
                       std::string(caption) + ": " + std::string(text) + (yes ? " -> yes" : " -> no"));
    return yes;
}

}  // namespace kelva
