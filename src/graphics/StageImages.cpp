#include "graphics/StageImages.h"

#include <exception>
#include <optional>
#include <vector>

#include "data/ShiftJis.h"
#include "graphics/BitmapFiles.h"
#include "graphics/RunCommon.h"
#include "platform/JpegDecoder.h"

namespace kelva {

namespace {

// The extension from the last full stop, ASCII upper-cased; empty without a full stop.
// A full stop is never the second byte of a double-byte character, so a plain search is
// safe here.
std::string Extension(std::string_view name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    return UpperCaseAscii(name.substr(dot));
}

std::optional<TNkDIB> DecodeJpegBytes(const std::optional<std::vector<uint8_t>>& bytes)
{
    if (!bytes) return std::nullopt;
    JpegDecodeResult result = DecodeJpeg(bytes->data(), bytes->size());
    if (!result.Ok()) return std::nullopt;
    try {
        TNkDIB picture;
        picture.Assign(std::move(result.Picture));
        return picture;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

StageImages::StageImages(MediaFiles* media, MessageBox* messages)
    : ScreenImage(kStageWidth, kStageHeight, 24),
      StageImage(ScreenImage),
      BackgroundImage(ScreenImage),
      HighlightImage(ScreenImage),
      CharLayer(true, media, messages),
      CharSnapshot(false, nullptr, nullptr),
      m_media(media)
{
}

void StageImages::LoadBackground(std::string_view name)
{
    CurrentBackgroundName = std::string(name);
    PageBackgroundName = CurrentBackgroundName;
    const std::string extension = Extension(name);
    if (extension == ".BMP" || extension == ".DIB") {
        LoadBitmapBackground(name);
    } else if (extension == ".JPG") {
        LoadJpegBackground(name);
    }
    BackgroundImage = StageImage;
    CharLayer.DrawTo(StageImage, SilhouetteMode, Blend);
}

void StageImages::DrawCentred(const TNkDIB& picture)
{
    StageImage.Draw(kStageWidth / 2 - picture.Width() / 2, kStageHeight / 2 - picture.Height() / 2, picture);
}

void StageImages::LoadBitmapBackground(std::string_view name)
{
    TNkDIB picture;
    if (LoadBitmapPicture(m_media, name, picture)) DrawCentred(picture);
}

void StageImages::LoadJpegBackground(std::string_view name)
{
    MediaFiles diskOnly(nullptr);
    MediaFiles& media = m_media ? *m_media : diskOnly;
    // The decoder gets exactly the entry's bytes: the package's stream goes on with the
    // entries after it.
    std::optional<TNkDIB> picture = DecodeJpegBytes(media.ReadEntry(name));
    if (!picture) picture = DecodeJpegBytes(media.ReadDiskFile(name));
    if (!picture) return;
    if (picture->Width() == kStageWidth && picture->Height() == kStageHeight) {
        StageImage = std::move(*picture);
    } else {
        DrawCentred(*picture);
    }
}

void StageImages::FillBackground(TColor colour, int strength)
{
    Tint(Blend, BackgroundImage, {0, 0, kStageWidth, kStageHeight}, colour, strength);
    Rebuild();
}

void StageImages::Rebuild()
{
    StageImage = BackgroundImage;
    CharLayer.DrawTo(StageImage, SilhouetteMode, Blend);
}

}  // namespace kelva
