// The debug bar: a grey strip along the bottom edge of the shown stage with the debug
// keys on the left and the current item on a silver field on the right.
#pragma once

#include <string>
#include <string_view>

#include "core/StagePresenter.h"
#include "data/NovelData.h"
#include "graphics/AntiAliasTextout.h"

namespace kelva {

class DebugBar final : public StageOverlay {
public:
    explicit DebugBar(FontRasteriser& fonts);

    // Shows item `index` (null when there is no such item); true when the bar's text changed.
    bool ShowItem(int index, const CNovelItem* item);
    void DrawOver(TNkDIB& frame) override;

private:
    TAntiAliasTextout m_text;
    std::string m_itemLabel;
};

}  // namespace kelva
