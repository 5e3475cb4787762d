#include "debug/DebugCounterForm.h"

#include <cstdio>

#include "ui/ControlLook.h"

namespace kelva {

TDebugCounterForm::TDebugCounterForm(FontRasteriser& fonts, CNovelCounters& counters)
    : TFramedDialog(fonts, kClientWidth, kClientHeight),
      m_counters(counters),
      m_text(fonts),
      m_label1(fonts),
      m_header(fonts),
      m_list(fonts),
      m_label2(fonts),
      m_valEdit(fonts),
      m_button1(fonts),
      m_button2(fonts)
{
    Caption = "デバッグモード: カウンタ操作";
    PrepareControlText(m_text);
    m_label1.Bounds = ClientBounds(8, 4, 120, 12);
    m_label1.Caption = "カウンタリスト:";
    // The panel holding the header and the list: its sunken border.
    m_panel1.Bounds = ClientBounds(4, 20, 329, 277);
    m_panel1.Shape = TBevelShape::Lowered;
    m_header.Bounds = ClientBounds(6, 22, 325, 17);
    m_header.Sections = {{"カウンタ名", 180, 100, false}, {"現在値", 50, 50, false}, {"範囲", 80, 80, true}};
    m_list.Bounds = ClientBounds(6, 39, 325, 256);
    m_list.Border = false;
    m_list.ItemHeight = 18;
    m_list.OnDrawItem = [this](TNkDIB& canvas, int index, const TRect& rect, bool selected) {
        DrawLine(canvas, index, rect, selected);
    };
    m_list.OnSelect = [this](TControl&) { LoadEdit(); };
    m_label2.Bounds = ClientBounds(20, 308, 56, 12);
    m_label2.Caption = "値の変更:";
    m_valEdit.Bounds = ClientBounds(76, 304, 57, 20);
    m_button1.Bounds = ClientBounds(140, 304, 61, 21);
    m_button1.Caption = "変更";
    m_button1.OnClick = [this](TControl&) { Change(); };
    m_bevel1.Bounds = ClientBounds(228, 304, 18, 21);
    m_button2.Bounds = ClientBounds(256, 304, 75, 21);
    m_button2.Caption = "閉じる";
    m_button2.Default = true;
    m_button2.OnClick = [this](TControl&) { ModalResult = kCloseResult; };
    for (TControl* control :
         std::initializer_list<TControl*>{&m_label1, &m_panel1, &m_header, &m_list, &m_label2, &m_valEdit,
                                          &m_button1, &m_bevel1, &m_button2}) {
        Add(*control);
    }
}

void TDebugCounterForm::Prepare()
{
    CentreOnStage();
    Synchronise();
    m_list.SetItemIndex(0);
    LoadEdit();
    SetActiveControl(&m_list);
}

void TDebugCounterForm::Synchronise()
{
    while (m_list.Count() < m_counters.Count()) m_list.AddItem({});
    while (m_list.Count() > m_counters.Count()) m_list.DeleteItem(0);
    Invalidate();
}

void TDebugCounterForm::LoadEdit()
{
    const int index = m_list.ItemIndex();
    if (index < 0 || index >= m_counters.Count()) return;
    const CNovelCounter& counter = m_counters[index];
    m_valEdit.SetRange(counter.Min, counter.Max);
    m_valEdit.SetNValue(counter.Value);
}

void TDebugCounterForm::Change()
{
    const int index = m_list.ItemIndex();
    if (index < 0 || index >= m_counters.Count()) return;
    m_counters[index].Value = m_valEdit.NValue();
    Synchronise();
    if (OnChange) OnChange(index);
}

void TDebugCounterForm::DrawLine(TNkDIB& canvas, int index, const TRect& rect, bool selected)
{
    canvas.FillRect(rect, selected ? kSelectionColour : kFieldColour);
    if (index >= m_counters.Count()) return;
    const CNovelCounter& counter = m_counters[index];
    m_text.TextColor = selected ? kSelectedTextColour : kTextColour;
    m_text.Font = ControlFont();
    const int h = m_text.MeasureText("あ").Y;
    const int top = rect.Top + 2;
    auto section = [this](int i) { return std::pair{m_header.SectionLeft(i), m_header.Sections[i].Width}; };

    const auto [nameLeft, nameWidth] = section(0);
    const int nameX = nameLeft + rect.Left + 4;
    DrawTextClipped(m_text, canvas, TRect::Bounds(nameX, top, nameWidth - 4, h), nameX, top, counter.Name);

    m_text.Font = ControlFont(true);
    const std::string value = std::to_string(counter.Value);
    const int w = m_text.MeasureText(value).X;
    const auto [valueLeft, valueWidth] = section(1);
    const int valueX = valueLeft + rect.Left + valueWidth - w - 4;
    DrawTextClipped(m_text, canvas, TRect::Bounds(valueX, top, w, h), valueX, top, value);

    char range[32];
    std::snprintf(range, sizeof range, "%d～%d", counter.Min, counter.Max);
    const auto [rangeLeft, rangeWidth] = section(2);
    const int rangeX = rangeLeft + rect.Left + 8;
    DrawTextClipped(m_text, canvas, TRect::Bounds(rangeX, top, rangeWidth - 8, h), rangeX, top, range);
}

}  // namespace kelva
