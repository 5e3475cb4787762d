// A bevel: a lowered line or box drawn on the window's background. LeftLine is a vertical
// line at the left edge (separating a group of buttons); Lowered is a sunken two-pixel box
// around the bounds (the border of a panel holding other controls).
#pragma once

#include "ui/Controls.h"

namespace kelva {

enum class TBevelShape { LeftLine, Lowered };

class TBevel final : public TControl {
public:
    TBevelShape Shape = TBevelShape::LeftLine;
    void Paint(TNkDIB& client) override;
};

}  // namespace kelva
