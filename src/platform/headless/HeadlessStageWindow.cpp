#include "platform/headless/HeadlessStageWindow.h"

#include <cstdio>
#include <cstring>

#include "platform/headless/PngWriter.h"

namespace kelva {

namespace {
constexpr int kRowBytes = kStageWidth * 3;
}

HeadlessStageWindow::HeadlessStageWindow(Clock& clock, RecordingMessageBox& messages,
                                         std::vector<ReplayEvent> events, std::string dumpDir)
    : m_clock(clock),
      m_messages(messages),
      m_events(std::move(events)),
      m_dumpDir(std::move(dumpDir)),
      m_screen(static_cast<size_t>(kRowBytes) * kStageHeight, 0)
{
}

void HeadlessStageWindow::Show(bool fullScreen)
{
    m_shown = true;
    m_fullScreen = fullScreen;
}

void HeadlessStageWindow::Present(const uint8_t* pixels, int pitch)
{
    for (int y = 0; y < kStageHeight; ++y) {
        std::memcpy(m_screen.data() + static_cast<size_t>(y) * kRowBytes,
                    pixels + static_cast<ptrdiff_t>(y) * pitch, kRowBytes);
    }
}

void HeadlessStageWindow::Dump(const std::string& name)
{
    if (m_dumpDir.empty()) return;
    const std::string path = m_dumpDir + "/" + name + ".png";
    if (!WriteBgrPng(path, m_screen.data(), kStageWidth, kStageHeight, kRowBytes)) {
        std::fprintf(stderr, "replay: cannot write %s\n", path.c_str());
    }
}

std::optional<InputEvent> HeadlessStageWindow::WaitEvent(int64_t deadlineMs)
{
    while (m_next < m_events.size() && m_events[m_next].timeMs <= deadlineMs) {
        const ReplayEvent& event = m_events[m_next];
        m_clock.SleepUntil(event.timeMs);
        // A dump shows the latest picture: ask the stage for it first.
        if (event.kind == ReplayEvent::Kind::Dump && !m_frameAsked) {
            m_frameAsked = true;
            InputEvent ask;
            ask.type = InputEvent::Type::FrameNeeded;
            return ask;
        }
        m_frameAsked = false;
        ++m_next;
        switch (event.kind) {
        case ReplayEvent::Kind::Dump: Dump(event.dumpName); break;
        case ReplayEvent::Kind::Answer: m_messages.QueueAnswer(event.yes); break;
        case ReplayEvent::Kind::Input: return event.input;
        }
    }
    if (m_next == m_events.size()) return InputEvent{};  // Quit
    m_clock.SleepUntil(deadlineMs);
    return std::nullopt;
}

}  // namespace kelva
