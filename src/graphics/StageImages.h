// The shared off-screen images of the stage and the operations that compose them:
// loading a background picture, tinting the background, rebuilding the stage from the
// background and the characters. All images are 640 x 480 at 24 bits unless said.
#pragma once

#include <string>
#include <string_view>

#include "data/MediaFiles.h"
#include "graphics/BlendTable.h"
#include "graphics/NkDIB.h"
#include "graphics/SpriteLayer.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace kelva {

class StageImages {
public:
    // `media` and `messages` are borrowed for the life of this object; `media` may be null
    // (then pictures come from disk only, by the names as written).
    StageImages(MediaFiles* media, MessageBox* messages);
    StageImages(const StageImages&) = delete;
    StageImages& operator=(const StageImages&) = delete;

    // What the window shows: the stage with the message text and key-wait icon on it.
    TNkDIB ScreenImage;
    // The composed stage: background, characters (and an open choice menu's lines).
    TNkDIB StageImage;
    // The stage without characters, as last loaded or tinted.
    TNkDIB BackgroundImage;
    // Transition scratch space; its size and format change with the transition.
    TNkDIB WorkImage;
    // The stage with the choice band tinted, for the highlighted choice line.
    TNkDIB HighlightImage;
    // The key-wait icon frames, 24 x 24 each side by side; white is transparent. Empty
    // until the stage window puts its picture here.
    TNkDIB KeyWaitImage;

    BlendTable Blend;
    TSpriteLayer CharLayer;     // the live characters, with pictures
    TSpriteLayer CharSnapshot;  // the characters as of the last character change
    bool SilhouetteMode = false;

    // The background last asked for, and the one recorded in bookmarks. Both are set by
    // LoadBackground, whether or not the picture could be loaded.
    std::string CurrentBackgroundName;
    std::string PageBackgroundName;

    // Loads a background picture by name (".BMP", ".DIB" or ".JPG", ASCII case ignored;
    // any other name loads nothing), from the package or else from disk, and rebuilds:
    // a 640 x 480 JPEG replaces the stage, any other picture is drawn centred over it;
    // then the stage becomes the background and the characters are drawn over it. So the
    // parts a smaller or missing picture leaves uncovered keep what the stage showed,
    // characters included, as background. Missing or broken pictures are silent.
    void LoadBackground(std::string_view name);
    // Tints the whole background towards `colour` by `strength` per cent, then Rebuild.
    void FillBackground(TColor colour, int strength);
    // The stage := the background with the characters drawn over it.
    void Rebuild();

private:
    void LoadBitmapBackground(std::string_view name);
    void LoadJpegBackground(std::string_view name);
    void DrawCentred(const TNkDIB& picture);

    MediaFiles* m_media;
};

}  // namespace kelva
