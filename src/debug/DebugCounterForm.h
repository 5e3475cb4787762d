// The debug counter window: the working counters in a three-column list (name, value,
// range) and an edit to set the selected counter's value. "変更" stores the edit's value
// in the counter as it stands, without the limiting of the counter commands (the edit
// already holds it inside the counter's range); "閉じる", the default button, or the
// close box ends the window. A value only typed into the edit is dropped.
#pragma once

#include <functional>

#include "data/NovelCounters.h"
#include "debug/UDNumeralEdit.h"
#include "ui/Bevel.h"
#include "ui/Button.h"
#include "ui/FramedDialog.h"
#include "ui/HeaderControl.h"
#include "ui/ListBox.h"

namespace kelva {

class TDebugCounterForm final : public TFramedDialog {
public:
    static constexpr int kClientWidth = 337;
    static constexpr int kClientHeight = 330;
    static constexpr int kCloseResult = 1;

    // Borrows the working counters, which outlive the window.
    TDebugCounterForm(FontRasteriser& fonts, CNovelCounters& counters);

    // Centres the window, brings the list in line with the counters, selects the first and
    // loads the edit with it: ready to be shown.
    void Prepare();
    // Counter `index` was changed with "変更".
    std::function<void(int index)> OnChange;

    const TListBox& List() const { return m_list; }
    const TUDNumeralEdit& ValEdit() const { return m_valEdit; }

private:
    // As many lines as counters: empty lines added at the end or taken from the front.
    void Synchronise();
    void LoadEdit();
    void Change();
    void DrawLine(TNkDIB& canvas, int index, const TRect& rect, bool selected);

    CNovelCounters& m_counters;
    TAntiAliasTextout m_text;
    TLabel m_label1;
    TBevel m_panel1;
    THeaderControl m_header;
    TListBox m_list;
    TLabel m_label2;
    TUDNumeralEdit m_valEdit;
    TButton m_button1;
    TBevel m_bevel1;
    TButton m_button2;
};

}  // namespace kelva
