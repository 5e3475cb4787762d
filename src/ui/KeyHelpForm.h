// The list of keys over a dimmed stage: a title, then each key or pad button with what it
// does, under headings; any key or click closes it.
#pragma once

#include <string>
#include <vector>

#include "graphics/AntiAliasTextout.h"
#include "ui/StageCover.h"

namespace kelva {

struct KeyHelpRow {
    std::string Keys;    // CP932; for a heading, the heading
    std::string Action;  // CP932; empty for a heading
};

class TKeyHelpForm final : public TStageCover {
public:
    explicit TKeyHelpForm(FontRasteriser& fonts);

    // Over `stage`, the rows from the top down.
    void Prepare(const TNkDIB& stage, std::vector<KeyHelpRow> rows);

    bool KeyDown(Key) override
    {
        ModalResult = kClosed;
        return true;
    }

private:
    void PaintContent(TNkDIB& client) override;

    TAntiAliasTextout m_text;
    std::vector<KeyHelpRow> m_rows;
};

}  // namespace kelva
