#include "debug/DebugJumpForm.h"

namespace kelva {

TDebugJumpForm::TDebugJumpForm(FontRasteriser& fonts, const CNovelItems& items)
    : TFramedDialog(fonts, kClientWidth, kClientHeight),
      m_label1(fonts),
      m_list(fonts),
      m_jumpBtn(fonts),
      m_button2(fonts)
{
    Caption = "デバッグモード: アイテムジャンプ";
    m_label1.Bounds = ClientBounds(8, 8, 120, 12);
    m_label1.Caption = "アイテム一覧:";
    m_list.Bounds = ClientBounds(8, 24, 205, 233);
    m_list.ItemHeight = 12;
    for (int i = 0; i < items.Count(); ++i) m_list.AddItem(items[i].Name);
    m_list.OnDblClick = [this](TControl&) { Jump(); };
    m_jumpBtn.Bounds = ClientBounds(36, 268, 75, 21);
    m_jumpBtn.Caption = "ジャンプ";
    m_jumpBtn.OnClick = [this](TControl&) { Jump(); };
    m_button2.Bounds = ClientBounds(120, 268, 75, 21);
    m_button2.Caption = "キャンセル";
    m_button2.Default = true;
    m_button2.OnClick = [this](TControl&) { ModalResult = kCancelResult; };
    for (TControl* control : std::initializer_list<TControl*>{&m_label1, &m_list, &m_jumpBtn, &m_button2}) {
        Add(*control);
    }
}

void TDebugJumpForm::Prepare(int current)
{
    CentreOnStage();
    m_list.SetItemIndex(current);
    SetActiveControl(&m_list);
}

void TDebugJumpForm::Jump()
{
    const int item = m_list.ItemIndex();
    if (item < 0) return;
    if (OnJump) OnJump(item);
    ModalResult = kJumpResult;
}

}  // namespace kelva
