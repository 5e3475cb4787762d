#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/MessageBox.h"

namespace kelva {

// Headless message box: prints "caption: text" (UTF-8) to stderr and keeps every
// message so tests can assert it. Questions take queued answers, else the answer source's
// next answer; without either, "no".
class RecordingMessageBox final : public MessageBox {
public:
    explicit RecordingMessageBox(bool echoToStderr = true) : m_echo(echoToStderr) {}

    void Show(std::string_view caption, std::string_view text, MessageIcon icon) override;
    bool AskYesNo(std::string_view caption, std::string_view text) override;

    void QueueAnswer(bool yes) { m_answers.push_back(yes); }
    // Asked for an answer when none is queued; nullopt when it has none to give.
    void SetAnswerSource(std::function<std::optional<bool>()> source) { m_answerSource = std::move(source); }
    const std::vector<ShownMessage>& Messages() const { return m_messages; }

private:
    void Record(std::string_view caption, std::string_view text, MessageIcon icon);

    bool m_echo;
    std::vector<ShownMessage> m_messages;
    std::deque<bool> m_answers;
    std::function<std::optional<bool>()> m_answerSource;
};

}  // namespace kelva
