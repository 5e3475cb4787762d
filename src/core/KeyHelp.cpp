#include "core/KeyHelp.h"

#include <algorithm>
#include <array>

#include "core/PausedModal.h"

namespace kelva {

namespace {

using enum KeyDevice;
using enum KeyNote;

// clang-format off
constexpr std::array kEntries = {
    KeyHelpEntry{Keyboard, "Click, Space, Enter", None,
                 "先へ進む・選択肢に決める", "go on; choose the highlighted choice"},
    KeyHelpEntry{Keyboard, "Right click", None, "ゲームメニューを開く", "open the game menu"},
    KeyHelpEntry{Keyboard, "Escape", None, "本を閉じるか尋ねる", "ask whether to close the book"},
    KeyHelpEntry{Keyboard, "Alt+Enter, F11", None,
                 "フルスクリーンとウインドウを切り替える", "switch between full screen and a window"},
    KeyHelpEntry{Keyboard, "Ctrl+1 ... Ctrl+4", None,
                 "ウインドウを１～４倍の大きさにする", "window size: 1 to 4 times the stage"},
    KeyHelpEntry{Keyboard, "Up, Down, 1-9", None,
                 "選択肢を選ぶ（Enter・Space で決める）", "highlight a choice (Enter or Space chooses it)"},
    KeyHelpEntry{Keyboard, "Ctrl", Held,
                 "早送り（既読のみの設定なら未読で止まる）", "skip ahead (up to unread text, when so set)"},
    KeyHelpEntry{Keyboard, "A", None, "自動送りの入・切", "auto-advance on or off"},
    KeyHelpEntry{Keyboard, "Wheel up, PageUp", None,
                 "バックログ（これまでの文章）を開く", "open the backlog: the text of earlier pages"},
    KeyHelpEntry{Keyboard, "Up, Down, PageUp, PageDown", None,
                 "バックログをスクロールする（ホイールでも）", "in the backlog: scroll it (the wheel too)"},
    KeyHelpEntry{Keyboard, "Escape, click", None,
                 "バックログを閉じる（一番下でホイールを下へでも）", "close the backlog (or wheel down at its end)"},
    KeyHelpEntry{Keyboard, "F12, PrintScreen", None,
                 "スクリーンショットを保存する", "save a screenshot in Pictures/kelvanovelrun"},
    KeyHelpEntry{Keyboard, "M", None, "消音の入・切", "mute or unmute"},
    KeyHelpEntry{Keyboard, "-, =", None, "音量を下げる・上げる", "lower or raise the volume"},
    KeyHelpEntry{Keyboard, "F1", None, "このキー操作の一覧を見る", "show this list of keys"},
    KeyHelpEntry{Keyboard, "F5", DebugOnly, "カウンタ操作の窓を開く", "counter window: see and set the counters"},
    KeyHelpEntry{Keyboard, "F6", DebugOnly, "アイテムジャンプの窓を開く", "jump window: read an item from its start"},
    KeyHelpEntry{Keyboard, "F7", DebugOnly,
                 "音楽・効果音・キャラクターを止める", "stop music, sounds and characters"},
    KeyHelpEntry{Keyboard, "F8", DebugOnly, "トランジションを飛ばす", "skip the running transition"},
    KeyHelpEntry{Pad, "A", None, "クリックと同じ", "as a click"},
    KeyHelpEntry{Pad, "B", None, "ゲームメニューを開く（右クリックと同じ）", "open the game menu, as a right click"},
    KeyHelpEntry{Pad, "D-pad", None, "選択肢を選ぶ（Up・Down と同じ）", "highlight a choice, as Up and Down"},
    KeyHelpEntry{Pad, "Right shoulder", Held, "早送り（Ctrl と同じ）", "skip ahead, as Ctrl"},
    KeyHelpEntry{Pad, "Left shoulder", None, "バックログを開く（PageUp と同じ）", "open the backlog, as PageUp"},
    KeyHelpEntry{Pad, "Start", None, "ゲームメニューを開く", "open the game menu"},
    KeyHelpEntry{Pad, "Back", None, "本を閉じるか尋ねる（Escape と同じ）", "ask whether to close the book, as Escape"},
};
// clang-format on

struct DeviceNames {
    KeyDevice Device;
    const char* Japanese;
    const char* English;
};
constexpr DeviceNames kDevices[] = {{Keyboard, "キーボード・マウス", "Keys"},
                                    {Pad, "ゲームパッド", "Gamepad"}};

// The keys' names with their note, in Japanese for the overlay or in English.
std::string KeysWithNote(const KeyHelpEntry& entry, bool japanese)
{
    const std::string keys(entry.Keys);
    switch (entry.Note) {
        case None:
            break;
        case Held:
            return keys + (japanese ? "（押している間）" : " (held)");
        case DebugOnly:
            return keys + (japanese ? "（/DEBUG）" : " (/DEBUG)");
    }
    return keys;
}

}  // namespace

std::span<const KeyHelpEntry> KeyHelpEntries()
{
    return kEntries;
}

std::string KeyHelpUsage()
{
    size_t width = 0;
    for (const KeyHelpEntry& entry : kEntries) width = std::max(width, KeysWithNote(entry, false).size());
    std::string text;
    for (const DeviceNames& device : kDevices) {
        text += "\n" + std::string(device.English) + ":\n";
        for (const KeyHelpEntry& entry : kEntries) {
            if (entry.Device != device.Device) continue;
            const std::string keys = KeysWithNote(entry, false);
            text +=
                "  " + keys + std::string(width + 2 - keys.size(), ' ') + std::string(entry.English) + "\n";
        }
    }
    return text;
}

std::vector<KeyHelpRow> KeyHelpRows()
{
    std::vector<KeyHelpRow> rows;
    for (const DeviceNames& device : kDevices) {
        rows.push_back({device.Japanese, ""});
        for (const KeyHelpEntry& entry : kEntries) {
            if (entry.Device == device.Device)
                rows.push_back({KeysWithNote(entry, true), std::string(entry.Japanese)});
        }
    }
    return rows;
}

void KeyHelp::Show(const TNkDIB& stage)
{
    m_form.Prepare(stage, KeyHelpRows());
    m_log.Event("keyhelp");
    ShowModalPaused(m_windows, m_form, m_timer, m_clock);
}

}  // namespace kelva
