// The replay transcript: what happened, one event a line with its time in milliseconds
// since the first line (the real clock's own start is arbitrary), in UTF-8.
// Story text is gathered character by character and written as one line when the line,
// the page or the item ends, or a key wait begins.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/MessageBox.h"

namespace kelva {

class Transcript {
public:
    // An empty path makes a transcript that writes nothing.
    Transcript(Clock& clock, const std::string& path);
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // Also writes every line of story text as it is finished and each choice of a menu,
    // one a line in UTF-8, flushed at once, to `path` ("-": standard output), for screen
    // readers, speech and translation tools. False when the file can't be written.
    bool OpenTextHook(const std::string& path);
    // One event: `kind` is an ASCII word, `text` CP932.
    void Event(std::string_view kind, std::string_view text = {});
    // One typed character (CP932 bytes).
    void Typed(std::string_view character);
    // Writes the gathered story text, if any.
    void FlushText();

private:
    int64_t Elapsed();
    void HookLine(std::string_view cp932);

    Clock& m_clock;
    std::FILE* m_file = nullptr;
    std::FILE* m_hook = nullptr;
    std::string m_text;
    int64_t m_textTime = 0;
    std::optional<int64_t> m_start;  // the clock's time at the first line
};

// Shows messages through another box and writes each to the transcript.
class TranscribedMessageBox final : public MessageBox {
public:
    TranscribedMessageBox(MessageBox& inner, Transcript& transcript)
        : m_inner(inner), m_transcript(transcript)
    {
    }
    void Show(std::string_view caption, std::string_view text, MessageIcon icon) override;
    bool AskYesNo(std::string_view caption, std::string_view text) override;

private:
    MessageBox& m_inner;
    Transcript& m_transcript;
};

}  // namespace kelva
