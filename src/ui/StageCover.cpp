#include "ui/StageCover.h"

namespace kelva {

namespace {

// What is left of the stage's brightness under the window, in 256ths: dark enough for
// any story's text colour to stand out over it.
constexpr int kDimmedShare = 44;

}  // namespace

TStageCover::TStageCover() : DialogWindow(kStageWidth, kStageHeight), m_surface(*this)
{
    m_surface.Bounds = TRect{0, 0, kStageWidth, kStageHeight};
    Add(m_surface);
    SetActiveControl(&m_surface);
}

void TStageCover::Cover(const TNkDIB& stage)
{
    m_dimmed = TNkDIB(kStageWidth, kStageHeight, 24);
    m_dimmed.Draw(0, 0, stage);
    for (int y = 0; y < m_dimmed.Height(); ++y) {
        uint8_t* row = m_dimmed.ScanLine(y);
        for (int x = 0; x < m_dimmed.Width() * 3; ++x)
            row[x] = static_cast<uint8_t>(row[x] * kDimmedShare / 256);
    }
    Invalidate();
}

void TStageCover::Surface::Paint(TNkDIB& client)
{
    client.Draw(0, 0, m_owner.m_dimmed);
    m_owner.PaintContent(client);
}

}  // namespace kelva
