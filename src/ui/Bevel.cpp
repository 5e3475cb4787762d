#include "ui/Bevel.h"

#include "ui/ControlLook.h"

namespace kelva {

void TBevel::Paint(TNkDIB& client)
{
    if (Shape == TBevelShape::Lowered) {
        DrawSunkenEdge(client, Bounds);
        return;
    }
    // A groove: a shadow line with a light one beside it.
    client.FillRect(TRect{Bounds.Left, Bounds.Top, Bounds.Left + 1, Bounds.Bottom}, kShadowColour);
    client.FillRect(TRect{Bounds.Left + 1, Bounds.Top, Bounds.Left + 2, Bounds.Bottom}, kLightColour);
}

}  // namespace kelva
