// The debug jump window: every item of the story by name, in file order (line i is item
// i), the current one selected as it opens. "ジャンプ" or a double click on a line jumps
// to the selected item (result 1); "キャンセル", the default button, or the close box
// leaves everything as it was.
#pragma once

#include <functional>

#include "data/NovelData.h"
#include "ui/Button.h"
#include "ui/FramedDialog.h"
#include "ui/ListBox.h"

namespace kelva {

class TDebugJumpForm final : public TFramedDialog {
public:
    static constexpr int kClientWidth = 222;
    static constexpr int kClientHeight = 295;
    static constexpr int kJumpResult = 1;
    static constexpr int kCancelResult = 2;

    // The item names are taken once: the story's items never change while it runs.
    TDebugJumpForm(FontRasteriser& fonts, const CNovelItems& items);

    // Centres the window and selects the line of item `current`, ready to be shown.
    void Prepare(int current);
    // Carries out the jump to the item given; called before the window closes.
    std::function<void(int item)> OnJump;

private:
    void Jump();

    TLabel m_label1;
    TListBox m_list;
    TButton m_jumpBtn;
    TButton m_button2;
};

}  // namespace kelva
