#include "core/DebugBar.h"

#include "platform/Window.h"

namespace kelva {

namespace {

constexpr int kHeight = 13;
constexpr int kItemLabelWidth = 124;
constexpr const char* kKeyHelp =
    "デバッグモード  [F5:カウンタ操作] [F6:ジャンプ] [F7:パニック停止] [F8:フェードスキップ]";

}  // namespace

DebugBar::DebugBar(FontRasteriser& fonts) : m_text(fonts)
{
    m_text.Font = FontSpec{kGothicFace, 11, false};
    m_text.Smooth = false;
    m_text.Decoration = 0;
    m_text.TextColor = MakeColor(0, 0, 0);
}

bool DebugBar::ShowItem(int index, const CNovelItem* item)
{
    std::string label = " " + std::to_string(index) + ". " + (item ? item->Name : std::string());
    if (label == m_itemLabel) return false;
    m_itemLabel = std::move(label);
    return true;
}

void DebugBar::DrawOver(TNkDIB& frame)
{
    const int top = kStageHeight - kHeight;
    frame.FillRect(TRect{0, top, kStageWidth, kStageHeight}, MakeColor(212, 208, 200));
    frame.FillRect(TRect{kStageWidth - kItemLabelWidth, top, kStageWidth, kStageHeight},
                   MakeColor(192, 192, 192));
    m_text.Target = &frame;
    m_text.DrawText(2, top, kKeyHelp);
    m_text.DrawText(kStageWidth - kItemLabelWidth, top, m_itemLabel);
}

}  // namespace kelva
