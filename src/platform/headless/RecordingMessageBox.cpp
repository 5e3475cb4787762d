#include "platform/headless/RecordingMessageBox.h"

#include "platform/linux/MessageLine.h"

namespace kelva {

void RecordingMessageBox::Record(std::string_view caption, std::string_view text, MessageIcon icon)
{
    m_messages.push_back({std::string(caption), std::string(text), icon});
    if (m_echo) PrintMessageLine(caption, text);
}

void RecordingMessageBox::Show(std::string_view caption, std::string_view text, MessageIcon icon)
{
    Record(caption, text, icon);
}

bool RecordingMessageBox::AskYesNo(std::string_view caption, std::string_view text)
{
    Record(caption, text, MessageIcon::Question);
    if (m_answers.empty()) return m_answerSource && m_answerSource().value_or(false);
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

}  // namespace kelva
