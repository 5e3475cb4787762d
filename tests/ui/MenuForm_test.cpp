#include "ui/MenuForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/InputEvents.h"
#include "support/StageHarness.h"

namespace kelva {
namespace {

// Records what the menu asked for, with the menu's width while a dialog was up.
class RecordingHost final : public GameMenuHost {
public:
    const TMenuForm* menu = nullptr;
    bool fullScreen = false;
    std::vector<std::string> calls;

    bool FullScreen() const override { return fullScreen; }
    void MenuOpened() override { calls.push_back("opened"); }
    void MenuClosed() override { calls.push_back("closed"); }
    void ShowBookmarkBook(bool recording, std::string_view caption) override
    {
        calls.push_back((recording ? "record " : "open ") + std::string(caption) + Width());
    }
    void SwitchDisplay(bool toFullScreen) override { calls.push_back(toFullScreen ? "full" : "window"); }
    void FastForward() override { calls.push_back("skip"); }
    bool Confirm(std::string_view caption, std::string_view question) override
    {
        calls.push_back(std::string(caption) + " " + std::string(question) + Width());
        return false;
    }
    void CloseStage() override { calls.push_back("close stage"); }

private:
    std::string Width() const { return " w" + std::to_string(menu->Width); }
};

using test::Event;

// Presses and releases at stage pixel (x, y); whether the windows kept the press.
bool PressAt(WindowLayer& layer, int x, int y)
{
    layer.HandleInput(Event(InputEvent::Type::MouseMove, x, y));
    const bool kept = layer.HandleInput(Event(InputEvent::Type::MouseDown, x, y));
    layer.HandleInput(Event(InputEvent::Type::MouseUp, x, y));
    return kept;
}

const std::string kRecord = "record しおりをはさむ w0";
const std::string kOpen = "open しおりから読む w0";
const std::string kQuit = "本を閉じる 終了してよろしいですか？ w0";

TEST(MenuForm, TheHeaderChoosesTheRowsWhichStackInOrderAndEachActsOnItsPress)
{
    struct Case {
        MenuRows rows;
        int height;
        std::vector<std::string> rowCalls;  // what pressing each row from the top asks for
    };
    const Case cases[] = {
        {{0, false, 0}, 77, {kQuit, ""}},
        {{1, false, 0}, 141, {kRecord, kOpen, kQuit, ""}},
        {{2, false, 2}, 173, {kRecord, kOpen, "skip", kQuit, ""}},
        {{2, true, 1}, 205, {kRecord, kOpen, "full", "skip", kQuit, ""}},
        {{0, true, 0}, 109, {"full", kQuit, ""}},
        {{7, false, 3}, 173, {kRecord, kOpen, "skip", kQuit, ""}},  // odd values show the rows
    };
    test::BlockRasteriser fonts;
    for (const Case& test : cases) {
        WindowLayer layer([] {});
        RecordingHost host;
        TMenuForm menu(fonts, layer, host, test.rows);
        host.menu = &menu;
        EXPECT_EQ(menu.Height, test.height) << test.height;
        for (size_t row = 0; row < test.rowCalls.size(); ++row) {
            menu.Popup();
            ASSERT_TRUE(menu.Visible());
            host.calls.clear();
            // Rows are 32 high below the 8-pixel strip; their buttons run past the right edge.
            EXPECT_TRUE(
                PressAt(layer, menu.Position.X + 180, menu.Position.Y + 8 + 32 * static_cast<int>(row) + 16));
            std::vector<std::string> expected{test.rowCalls[row], "closed"};
            if (expected.front().empty()) expected.erase(expected.begin());  // cancel only closes
            EXPECT_EQ(host.calls, expected) << test.height << " row " << row;
            EXPECT_FALSE(menu.Visible());
            EXPECT_EQ(menu.Width, TMenuForm::kWidth);
        }
    }
}

TEST(MenuForm, SitsAtTheStagesTopRightAndStaysOnTheScreen)
{
    struct Case {
        TRect stage;
        bool bordered;
        TPoint screen;
        TPoint at;
    };
    const TPoint menu{202, 205};
    const Case cases[] = {
        {{0, 0, 640, 480}, false, {640, 480}, {438, 32}},        // full screen: flush right
        {{0, 0, 640, 480}, true, {640, 480}, {436, 32}},         // a bordered window: 2 further in
        {{100, 50, 740, 530}, true, {1024, 768}, {536, 82}},     // free on a larger screen
        {{500, 50, 1140, 530}, true, {1024, 768}, {822, 82}},    // stage past the right edge
        {{384, 50, 1024, 530}, false, {1024, 768}, {822, 82}},   // right edges meet
        {{100, 600, 740, 1080}, true, {1024, 768}, {536, 563}},  // stage near the bottom
    };
    for (const Case& test : cases) {
        EXPECT_EQ(GameMenuPosition(test.stage, test.bordered, test.screen, menu), test.at)
            << test.stage.Left << "," << test.stage.Top;
    }
}

TEST(MenuForm, ClosesOnLosingTheFocusAndOnlyTheLeftCornersAreRound)
{
    test::BlockRasteriser fonts;
    WindowLayer layer([] {});
    RecordingHost host;
    host.fullScreen = true;
    TMenuForm menu(fonts, layer, host, MenuRows{2, true, 2});
    menu.Popup();
    EXPECT_EQ(menu.Position, (TPoint{438, 32}));
    const TPoint corner = menu.Position;
    // The top-right corner is square: a press there is the menu's, on its top strip.
    EXPECT_TRUE(PressAt(layer, corner.X + TMenuForm::kWidth - 1, corner.Y));
    EXPECT_TRUE(menu.Visible());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"opened"}));
    // The top-left corner is cut off: the press falls through to the stage and the menu,
    // losing the focus, closes.
    EXPECT_FALSE(PressAt(layer, corner.X + 2, corner.Y + 2));
    EXPECT_FALSE(menu.Visible());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"opened", "closed"}));
    // So does the reader going to another program.
    menu.Popup();
    layer.HandleInput(Event(InputEvent::Type::FocusLost, 0, 0));
    EXPECT_FALSE(menu.Visible());
}

}  // namespace
}  // namespace kelva
