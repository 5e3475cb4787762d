#include "core/StageDisplay.h"

#include <algorithm>
#include <vector>

namespace kelva {

StageDisplay::StageDisplay(StageWindow& window, MessageBox& messages, const CNovelFileHeader& header,
                           bool only16Bits)
    : m_window(window), m_messages(messages), m_header(header), m_only16Bits(only16Bits)
{
}

void StageDisplay::EnumerateModes()
{
    if (m_enumerated) return;
    m_enumerated = true;
    std::vector<DisplayMode> modes = m_window.DisplayModes();
    if (modes.empty()) {
        // A display that lists no modes is taken to be a true-colour one.
        m_mode = {kStageWidth, kStageHeight, 32};
        return;
    }
    const DisplayMode desktop = modes.back();
    modes.pop_back();
    // The last 640 x 480 mode listed wins; deeper than 16 bits only without the limit.
    for (const DisplayMode& mode : modes) {
        if (mode.Width != kStageWidth || mode.Height != kStageHeight || mode.BitsPerPixel <= 0) continue;
        if (m_only16Bits && mode.BitsPerPixel > 16) continue;
        m_mode = mode;
    }
    // Full screen scales the stage onto the desktop, so a display without a 640 x 480
    // mode serves as well, at the desktop's depth.
    if (m_mode.BitsPerPixel == 0) {
        m_mode = {kStageWidth, kStageHeight,
                  m_only16Bits ? std::min(16, desktop.BitsPerPixel) : desktop.BitsPerPixel};
    }
    if (m_mode.BitsPerPixel < 15) {
        m_messages.Show(m_header.Title, "ビデオカードがハイカラーに対応していません。\r\n実行を中止します。",
                        MessageIcon::Error);
    }
}

bool StageDisplay::ShowFullScreen()
{
    // Without a high-colour mode there is nothing to switch to.
    if (m_mode.BitsPerPixel < 15) return false;
    if (m_window.Show(true, m_mode.BitsPerPixel)) return true;
    // A deeper mode that fails is tried once more at 16 bits.
    if (m_mode.BitsPerPixel <= 16) return false;
    m_mode.BitsPerPixel = 16;
    return m_window.Show(true, m_mode.BitsPerPixel);
}

bool StageDisplay::Switch(bool fullScreen, bool choosing)
{
    EnumerateModes();
    if (fullScreen ? !ShowFullScreen() : !m_window.Show(false, m_mode.BitsPerPixel)) {
        m_messages.Show(m_header.Title, "画面モードを変更できません。\r\n実行を中止します。",
                        MessageIcon::Error);
        return false;
    }
    m_fullScreen = fullScreen;
    SetPointer(fullScreen && !choosing ? Pointer::Hidden : Pointer::Arrow);
    return true;
}

bool StageDisplay::HandleScaleKey(const InputEvent& key)
{
    const int factor = static_cast<int>(key.key) - static_cast<int>(Key::Digit0);
    if (!key.ctrl || key.alt || factor < 1 || factor > 4) return false;
    m_window.SetWindowScale(factor);
    return true;
}

}  // namespace kelva
