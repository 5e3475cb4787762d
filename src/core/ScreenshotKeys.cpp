#include "core/ScreenshotKeys.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "platform/PngWriter.h"
#include "platform/TextCodec.h"

namespace kelva {

namespace {

// Enough for any number of screenshots a reader takes in one second.
constexpr int kMaxAttempts = 100;

// A file name or system message as the caption (CP932) can show it.
std::string ForCaption(const std::string& utf8)
{
    return Utf8ToCp932(utf8).value_or(utf8);
}

}  // namespace

std::string ScreenshotFileName(const std::string& game, const TLocalDateTime& time, int attempt)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", time.Year, time.Month, time.Day,
                  time.Hour, time.Minute, time.Second);
    std::string name = game + "-" + stamp;
    if (attempt > 1) name += "-" + std::to_string(attempt);
    return name + ".png";
}

ScreenshotKeys::ScreenshotKeys(StagePresenter& presenter, StageWindow& window, Clock& clock,
                               LocalTime& localTime, std::string folder, std::string game,
                               std::string caption)
    : m_presenter(presenter),
      m_window(window),
      m_clock(clock),
      m_localTime(localTime),
      m_folder(std::move(folder)),
      m_game(std::move(game)),
      m_caption(std::move(caption))
{
}

bool ScreenshotKeys::HandleKey(const InputEvent& key)
{
    if (key.key != Key::F12 && key.key != Key::PrintScreen) return false;
    Take();
    return true;
}

void ScreenshotKeys::Poll(int64_t nowMs)
{
    if (m_restoreAtMs < 0 || nowMs < m_restoreAtMs) return;
    m_restoreAtMs = -1;
    m_window.SetTitle(m_caption);
}

std::string ScreenshotKeys::Save(int& error)
{
    error = 0;
    if (m_folder.empty()) return {};
    const TNkDIB* picture = m_presenter.ShownPicture();
    if (!picture) {
        error = EAGAIN;
        return {};
    }
    std::error_code made;
    std::filesystem::create_directories(m_folder, made);
    if (made) {
        error = made.value();
        return {};
    }
    const TLocalDateTime now = m_localTime.Now();
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::string name = ScreenshotFileName(m_game, now, attempt);
        error = WriteBgrPng(m_folder + "/" + name, picture->Bits(), picture->Width(), picture->Height(),
                            picture->Stride(), PngTarget::NewFile);
        if (error != EEXIST) return error == 0 ? name : std::string();
    }
    return {};
}

void ScreenshotKeys::Take()
{
    int error = 0;
    const std::string name = Save(error);
    if (!name.empty()) {
        m_window.SetTitle("スクリーンショットを保存しました: " + ForCaption(name));
    } else if (m_folder.empty()) {
        m_window.SetTitle("スクリーンショットを保存できませんでした: 保存先のフォルダーがありません");
    } else {
        m_window.SetTitle("スクリーンショットを保存できませんでした: " + ForCaption(m_folder) + ": " +
                          std::strerror(error));
    }
    m_restoreAtMs = m_clock.NowMs() + kCaptionMs;
}

}  // namespace kelva
