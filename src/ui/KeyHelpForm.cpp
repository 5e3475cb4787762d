#include "ui/KeyHelpForm.h"

#include <algorithm>

#include "graphics/TextRows.h"

namespace kelva {

namespace {

constexpr TColor kTitleColour = MakeColor(255, 255, 255);
constexpr TColor kHeadingColour = MakeColor(255, 220, 130);
constexpr TColor kKeyColour = MakeColor(170, 205, 255);
constexpr TColor kActionColour = MakeColor(240, 240, 240);
constexpr TColor kFooterColour = MakeColor(190, 190, 200);
constexpr int kLeft = 28;
constexpr int kTop = 8;
constexpr int kRowHeight = 14;
constexpr int kColumnGap = 16;
constexpr int kIndent = 10;  // keys stand in from their heading
constexpr const char* kTitle = "キー操作の一覧";
constexpr const char* kFooter = "何かキーを押すか、クリックすると閉じます。";

}  // namespace

TKeyHelpForm::TKeyHelpForm(FontRasteriser& fonts) : m_text(fonts)
{
    Caption = kTitle;
    m_text.Font = FontSpec{kGothicFace, 13, false};
}

void TKeyHelpForm::Prepare(const TNkDIB& stage, std::vector<KeyHelpRow> rows)
{
    m_rows = std::move(rows);
    Cover(stage);
}

void TKeyHelpForm::PaintContent(TNkDIB& client)
{
    m_text.Target = &client;
    int keysWidth = 0;
    for (const KeyHelpRow& row : m_rows) {
        if (!row.Action.empty()) keysWidth = std::max(keysWidth, LineWidth(m_text, row.Keys));
    }
    const int actionX = kLeft + kIndent + keysWidth + kColumnGap;
    int y = kTop;
    m_text.TextColor = kTitleColour;
    DrawCharacters(m_text, kLeft, y, kTitle);
    y += kRowHeight * 3 / 2;
    for (const KeyHelpRow& row : m_rows) {
        if (row.Action.empty()) {
            y += kRowHeight / 4;
            m_text.TextColor = kHeadingColour;
            DrawCharacters(m_text, kLeft, y, row.Keys);
        } else {
            m_text.TextColor = kKeyColour;
            DrawCharacters(m_text, kLeft + kIndent, y, row.Keys);
            m_text.TextColor = kActionColour;
            DrawCharacters(m_text, actionX, y, row.Action);
        }
        y += kRowHeight;
    }
    m_text.TextColor = kFooterColour;
    DrawCharacters(m_text, kLeft, kStageHeight - kTop - kRowHeight, kFooter);
}

}  // namespace kelva
