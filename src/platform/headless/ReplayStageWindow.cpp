#include "platform/headless/ReplayStageWindow.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/PngWriter.h"

namespace kelva {

namespace {
constexpr int kRowBytes = kStageWidth * 3;
}

ReplayStageWindow::ReplayStageWindow(Clock& clock, RecordingMessageBox& messages,
                                     std::vector<ReplayEvent> events, std::string dumpDir, StageWindow* shown)
    : m_clock(clock),
      m_messages(messages),
      m_shownWindow(shown),
      m_origin(clock.NowMs()),
      m_events(std::move(events)),
      m_dumpDir(std::move(dumpDir)),
      m_screen(static_cast<size_t>(kRowBytes) * kStageHeight, 0)
{
    m_messages.SetAnswerSource([this] { return NextAnswer(); });
}

ReplayStageWindow::~ReplayStageWindow()
{
    m_messages.SetAnswerSource(nullptr);
}

void ReplayStageWindow::SetTitle(std::string_view title)
{
    m_title = title;
    if (m_shownWindow) m_shownWindow->SetTitle(title);
}

void ReplayStageWindow::SetPointer(Pointer pointer)
{
    m_pointer = pointer;
    if (m_shownWindow) m_shownWindow->SetPointer(pointer);
}

std::vector<DisplayMode> ReplayStageWindow::DisplayModes()
{
    if (m_shownWindow) return m_shownWindow->DisplayModes();
    return {DisplayMode{kStageWidth, kStageHeight, 32}};
}

bool ReplayStageWindow::Show(bool fullScreen, int bitsPerPixel)
{
    if (m_shownWindow && !m_shownWindow->Show(fullScreen, bitsPerPixel)) return false;
    m_shown = true;
    m_fullScreen = fullScreen;
    return true;
}

void ReplayStageWindow::SetTextInput(bool on)
{
    if (m_shownWindow) m_shownWindow->SetTextInput(on);
}

void ReplayStageWindow::SetWindowScale(int factor)
{
    m_windowScale = factor;
    if (m_shownWindow) m_shownWindow->SetWindowScale(factor);
}

void ReplayStageWindow::MovePointer(int x, int y)
{
    m_movedPointer = {x, y};
    if (m_shownWindow) m_shownWindow->MovePointer(x, y);
}

void ReplayStageWindow::Present(const uint8_t* pixels, int pitch, const StageArea& changed)
{
    const size_t left = static_cast<size_t>(changed.Left) * 3;
    const size_t bytes = static_cast<size_t>(changed.Right - changed.Left) * 3;
    for (int y = changed.Top; y < changed.Bottom; ++y) {
        std::memcpy(m_screen.data() + static_cast<size_t>(y) * kRowBytes + left,
                    pixels + static_cast<ptrdiff_t>(y) * pitch + left, bytes);
    }
    ++m_presents;
    if (m_shownWindow) m_shownWindow->Present(pixels, pitch, changed);
}

std::optional<InputEvent> ReplayStageWindow::WaitUntil(int64_t ms)
{
    if (!m_shownWindow) {
        m_clock.SleepUntil(ms);
        return std::nullopt;
    }
    while (m_clock.NowMs() < ms) {
        if (auto input = m_shownWindow->WaitEvent(ms)) return input;
    }
    return std::nullopt;
}

void ReplayStageWindow::Dump(const std::string& name)
{
    if (m_dumpDir.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(m_dumpDir, error);
    const std::string path = m_dumpDir + "/" + name + ".png";
    if (WriteBgrPng(path, m_screen.data(), kStageWidth, kStageHeight, kRowBytes) != 0) {
        std::fprintf(stderr, "replay: cannot write %s\n", path.c_str());
    }
}

std::optional<bool> ReplayStageWindow::NextAnswer()
{
    m_frameAsked = false;
    while (m_next < m_events.size()) {
        const ReplayEvent& event = m_events[m_next++];
        while (WaitUntil(m_origin + event.timeMs)) {
        }
        if (event.kind == ReplayEvent::Kind::Answer) return event.yes;
        if (event.kind == ReplayEvent::Kind::Dump) Dump(event.dumpName);
    }
    return std::nullopt;
}

std::optional<InputEvent> ReplayStageWindow::WaitEvent(int64_t deadlineMs)
{
    while (m_next < m_events.size() && m_origin + m_events[m_next].timeMs <= deadlineMs) {
        const ReplayEvent& event = m_events[m_next];
        if (auto input = WaitUntil(m_origin + event.timeMs)) return input;
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
            case ReplayEvent::Kind::Dump:
                Dump(event.dumpName);
                break;
            case ReplayEvent::Kind::Answer:
                m_messages.QueueAnswer(event.yes);
                break;
            case ReplayEvent::Kind::Input:
                return event.input;
        }
    }
    if (m_next == m_events.size()) return InputEvent{};  // Quit
    return WaitUntil(deadlineMs);
}

}  // namespace kelva
