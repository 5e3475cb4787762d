#include "graphics/SpriteLayer.h"

#include <gtest/gtest.h>

#include "graphics/StageTestImages.h"
#include "support/HostilePictures.h"

namespace kelva {
namespace {

using test::BmpBytes;
using test::SolidImage;

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kGrey = 0x646464;

// A character picture: `colour` with its top-left pixel, the colour key, green.
std::vector<uint8_t> Figure(int width, int height, TColor colour)
{
    TNkDIB image = SolidImage(width, height, colour);
    image.SetPixel(0, 0, kGreen);
    return BmpBytes(image);
}

// Character pictures on disk in a fresh current directory, read by a live layer.
class SpriteLayerTest : public ::testing::Test {
protected:
    TNkDIB Drawn(const TSpriteLayer& layer, bool silhouette = false)
    {
        TNkDIB stage = SolidImage(640, 480, kGrey);
        layer.DrawTo(stage, silhouette, m_blend);
        return stage;
    }

    test::MediaDirectory m_files;
    RecordingMessageBox m_messages{false};
    MediaFiles m_media{nullptr};
    BlendTable m_blend;
    TSpriteLayer m_layer{true, &m_media, &m_messages};
};

TEST_F(SpriteLayerTest, TopLeftColourIsTransparentWhereverItOccurs)
{
    TNkDIB figure = SolidImage(10, 10, MakeColor(200, 31, 255));
    figure.SetPixel(0, 0, kGreen);
    figure.SetPixel(5, 5, kGreen);    // inside the figure, transparent all the same
    figure.SetPixel(6, 5, 0x01FF00);  // one step off the key: drawn
    m_files.Write("a.bmp", BmpBytes(figure));
    m_layer.SetCharacter("A", "a.bmp", "TOP", "LEFT");

    const TNkDIB opaque = Drawn(m_layer);
    EXPECT_EQ(opaque.Pixel(5, 5), kGrey);
    EXPECT_EQ(opaque.Pixel(6, 5), 0x01FF00u);
    EXPECT_EQ(opaque.Pixel(9, 9), MakeColor(200, 31, 255));
    EXPECT_EQ(opaque.Pixel(10, 9), kGrey);
    // Silhouette: 4 * (25 * (p / 4) / 50 + 25 * (t / 4) / 50) per byte, over grey 100.
    const TNkDIB seeThrough = Drawn(m_layer, true);
    EXPECT_EQ(seeThrough.Pixel(3, 3), MakeColor(4 * (25 + 12), 4 * (3 + 12), 4 * (31 + 12)));
    EXPECT_EQ(seeThrough.Pixel(5, 5), kGrey);
}

TEST_F(SpriteLayerTest, KeywordsPlaceThePictureAndWidePicturesAreClipped)
{
    m_files.Write("w200.bmp", Figure(200, 300, kRed));
    const struct {
        const char *vertical, *horizontal;
        TPoint expected;
    } cases[] = {{"TOP", "LEFT", {0, 0}},         {"MIDDLE", "CENTER", {220, 90}},
                 {"BOTTOM", "RIGHT", {440, 180}}, {"middle", "Right", {440, 90}},
                 {"Bottom", "CENTRE", {0, 180}},  {"", "", {0, 0}}};
    for (const auto& c : cases) {
        m_layer.SetCharacter("A", "w200.bmp", c.vertical, c.horizontal);
        EXPECT_EQ(m_layer.Position(0), c.expected) << c.vertical << " " << c.horizontal;
    }
    m_files.Write("w641.bmp", Figure(641, 7, kRed));
    m_layer.SetCharacter("A", "w641.bmp", "MIDDLE", "CENTER");
    EXPECT_EQ(m_layer.Position(0), (TPoint{0, 237}));

    TNkDIB wide = SolidImage(700, 10, kRed);
    wide.SetPixel(0, 0, kGreen);
    wide.FillRect({60, 0, 61, 10}, kBlue);
    m_files.Write("w700.bmp", BmpBytes(wide));
    m_layer.SetCharacter("A", "w700.bmp", "BOTTOM", "RIGHT");
    EXPECT_EQ(m_layer.Position(0), (TPoint{-60, 470}));
    const TNkDIB stage = Drawn(m_layer);
    EXPECT_EQ(stage.Pixel(0, 475), kBlue);
    EXPECT_EQ(stage.Pixel(639, 479), kRed);
    EXPECT_EQ(stage.Pixel(639, 469), kGrey);
}

TEST_F(SpriteLayerTest, SlotsKeepTheirDepthAndASeventeenthCharacterIsRefused)
{
    m_files.Write("red.bmp", Figure(20, 20, kRed));
    m_files.Write("blue.bmp", Figure(50, 60, kBlue));
    for (int i = 0; i < 16; ++i) m_layer.SetCharacter("C" + std::to_string(i), "red.bmp", "TOP", "LEFT");
    const TSpriteLayerRecord full = m_layer.Record();
    m_layer.SetCharacter("extra", "blue.bmp", "BOTTOM", "RIGHT");
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].caption, "Kelva! Novel Runtime");
    EXPECT_EQ(m_messages.Messages()[0].text, "キャラクターは16枚までしか使用できません");
    EXPECT_EQ(m_messages.Messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(m_layer.Record(), full);

    // Setting an existing character again (any case) reloads and re-places it in its slot.
    m_layer.SetCharacter("c7", "blue.bmp", "BOTTOM", "RIGHT");
    EXPECT_EQ(m_layer.IndexOf("C7"), 7);
    EXPECT_EQ(m_layer.Picture(7).Width(), 50);
    EXPECT_EQ(m_layer.Position(7), (TPoint{590, 420}));

    // A freed slot is the next one taken, behind the later slots.
    m_layer.DeleteCharacter("C3");
    EXPECT_EQ(m_layer.Picture(3).Width(), 1);
    m_layer.SetCharacter("New", "blue.bmp", "TOP", "LEFT");
    EXPECT_EQ(m_layer.IndexOf("new"), 3);
    EXPECT_EQ(Drawn(m_layer).Pixel(10, 10), kRed);
    for (int i = 4; i < 16; ++i) m_layer.DeleteCharacter("C" + std::to_string(i));
    EXPECT_EQ(Drawn(m_layer).Pixel(10, 10), kBlue);
    EXPECT_EQ(m_messages.Messages().size(), 1u);
}

TEST_F(SpriteLayerTest, NamesAreCutTo128BytesAndStillFound)
{
    const std::string longName(200, 'n');
    m_layer.SetCharacter(longName, std::string(150, 'f'), "TOP", "LEFT");
    m_layer.SetCharacter(longName, "x.bmp", "TOP", "LEFT");
    EXPECT_EQ(m_layer.Name(0).size(), 128u);
    EXPECT_EQ(m_layer.IndexOf(longName), 0);
    EXPECT_EQ(m_layer.IndexOf(""), 1);
}

TEST_F(SpriteLayerTest, PicturesComeFromThePackageThenTheDiskAndFailuresKeepTheOld)
{
    m_files.Write("chara/girl.bmp", Figure(10, 10, kBlue));
    m_files.Write("chara/broken.bmp", Figure(10, 10, kBlue));
    TNkDIB paletted(8, 8, 8);
    paletted.SetPalette({kGreen, kRed});
    paletted.FillRect({1, 1, 8, 8}, kRed);
    test::MemoryPackage package({{"CHARA\\Girl.bmp", Figure(10, 10, kRed)},
                                 {"chara\\broken.bmp", {'B', 'M', 0, 0}},
                                 {"p.bmp", BmpBytes(paletted)}});
    TSpriteLayer layer(true, &package.Media(), &m_messages);

    layer.SetCharacter("A", "chara\\girl.bmp", "TOP", "LEFT");
    EXPECT_EQ(Drawn(layer).Pixel(5, 5), kRed);
    // A broken entry falls back to the disk, whose names ignore case.
    layer.SetCharacter("A", "Chara\\BROKEN.BMP", "TOP", "LEFT");
    EXPECT_EQ(Drawn(layer).Pixel(5, 5), kBlue);
    // A palette picture is drawn from its colours.
    layer.SetCharacter("A", "p.bmp", "TOP", "LEFT");
    EXPECT_EQ(layer.Picture(0).BitCount(), 24);
    EXPECT_EQ(Drawn(layer).Pixel(7, 7), kRed);
    // Missing: name and file kept, the old picture stays and places the character.
    layer.SetCharacter("A", "missing.bmp", "BOTTOM", "RIGHT");
    EXPECT_EQ(layer.FileName(0), "missing.bmp");
    EXPECT_EQ(layer.Position(0), (TPoint{632, 472}));
    EXPECT_EQ(Drawn(layer).Pixel(635, 475), kRed);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(SpriteLayerTest, AllSlotsTogetherStayWithinThePixelBudget)
{
    // 56 bytes each, and each as large as the budget for all slots.
    m_files.Write("huge.bmp", test::EmptyRunLengthBmp(4096, 4096));
    m_files.Write("nearly.bmp", test::EmptyRunLengthBmp(4096, 4095));
    m_files.Write("small.bmp", Figure(100, 100, kBlue));
    for (int i = 0; i < TSpriteLayer::kSlots; ++i)
        m_layer.SetCharacter("c" + std::to_string(i), "huge.bmp", "", "");
    EXPECT_EQ(m_layer.Picture(0).Width(), 4096);
    for (int slot = 1; slot < TSpriteLayer::kSlots; ++slot) {
        EXPECT_EQ(m_layer.Name(slot), "c" + std::to_string(slot)) << "refused silently, the slot still named";
        EXPECT_EQ(m_layer.Picture(slot).Width(), 1);
    }

    // A slot's own picture doesn't count against its next one, and freed slots give their
    // pixels back.
    m_layer.SetCharacter("c1", "small.bmp", "", "");
    EXPECT_EQ(m_layer.Picture(1).Width(), 1) << "the first slot holds the whole budget";
    m_layer.SetCharacter("c0", "small.bmp", "", "");
    m_layer.SetCharacter("c1", "small.bmp", "", "");
    EXPECT_EQ(m_layer.Picture(0).Width(), 100);
    EXPECT_EQ(m_layer.Picture(1).Width(), 100);
    m_layer.SetCharacter("c2", "nearly.bmp", "", "");
    EXPECT_EQ(m_layer.Picture(2).Width(), 1) << "20000 pixels are taken, 4096 are left free";
    m_layer.DeleteCharacter("c0");
    m_layer.DeleteCharacter("c1");
    m_layer.SetCharacter("c2", "nearly.bmp", "", "");
    EXPECT_EQ(m_layer.Picture(2).Height(), 4095);
}

TEST_F(SpriteLayerTest, RecordRoundTripsThroughLayersWithAndWithoutPictures)
{
    m_files.Write("a.bmp", Figure(10, 10, kRed));
    m_files.Write("b.bmp", Figure(10, 10, kBlue));
    m_layer.SetCharacter("A", "a.bmp", "TOP", "LEFT");
    m_layer.SetCharacter("B", "b.bmp", "TOP", "LEFT");
    m_layer.SetCharacter("C", "a.bmp", "BOTTOM", "RIGHT");
    m_layer.DeleteCharacter("A");
    MemoryStream saved;
    m_layer.SaveToStream(saved);
    ASSERT_EQ(saved.Size(), 4256);
    std::vector<uint8_t> bytes = saved.TakeBytes();
    bytes[266 + 258] = 7;  // B's X: stored positions are used, not recomputed
    MemoryStream record(bytes);

    TSpriteLayer restored(true, &m_media, &m_messages);
    restored.SetCharacter("Z", "b.bmp", "TOP", "LEFT");
    restored.LoadFromStream(record);
    EXPECT_EQ(restored.IndexOf("Z"), -1);
    EXPECT_EQ(restored.Position(1), (TPoint{7, 0}));
    const TNkDIB stage = Drawn(restored);
    EXPECT_EQ(stage.Pixel(8, 5), kBlue);
    EXPECT_EQ(stage.Pixel(635, 475), kRed);

    TSpriteLayer snapshot(false, nullptr, nullptr);
    record.Seek(0, SeekOrigin::Begin);
    snapshot.LoadFromStream(record);
    EXPECT_EQ(snapshot.Record(), restored.Record());
    EXPECT_TRUE(snapshot.Picture(1).IsEmpty());
    TSpriteLayer live(true, &m_media, &m_messages);
    live.Assign(snapshot);
    EXPECT_TRUE(test::SameBytes(Drawn(live), stage));

    // A record cut short throws and changes nothing.
    bytes.resize(4000);
    MemoryStream cut(bytes);
    EXPECT_THROW(live.LoadFromStream(cut), FormatError);
    EXPECT_EQ(live.Name(2), "C");
}

TEST_F(SpriteLayerTest, SnapshotIgnoresChangesAndClearOfTheLiveLayerKeepsPositions)
{
    m_files.Write("a.bmp", Figure(10, 10, kRed));
    m_layer.SetCharacter("A", "a.bmp", "BOTTOM", "LEFT");
    TSpriteLayer snapshot(false, nullptr, nullptr);
    snapshot.Assign(m_layer);
    snapshot.Clear();
    snapshot.DeleteCharacter("A");
    snapshot.SetCharacter("B", "a.bmp", "TOP", "LEFT");
    EXPECT_EQ(snapshot.Record(), m_layer.Record());
    EXPECT_EQ(Drawn(snapshot).Pixel(5, 475), kGrey);

    m_layer.Clear();
    EXPECT_EQ(m_layer.Name(0), "");
    EXPECT_EQ(m_layer.FileName(0), "");
    EXPECT_EQ(m_layer.Position(0), (TPoint{0, 470}));
}

}  // namespace
}  // namespace kelva
