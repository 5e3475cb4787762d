// The debug bar: a grey strip along the bottom edge of the shown stage with the debug
// keys on the left and the current item on a silver field on the right.
#pragma once

#include <string>
#include <string_view>

#include "core/StagePresenter.h"
#include "graphics/AntiAliasTextout.h"

namespace kelva {

class DebugBar final : public StageOverlay {
public:
    explicit DebugBar(FontRasteriser& fonts);

    // Shows item `index` named `name`; true when the bar's text changed.
    bool ShowItem(int index, std::string_view name);
    void DrawOver(TNkDIB& frame) override;

private:
    TAntiAliasTextout m_text;
    std::string m_itemLabel;
};

}  // namespace kelva
