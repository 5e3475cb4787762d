// Switching the stage between full screen and a window, on a window that may refuse.
#include "core/StageDisplay.h"

#include <gtest/gtest.h>

#include "platform/headless/RecordingMessageBox.h"
#include "support/StageHarness.h"

namespace kelva {
namespace {

// A window whose full screen works only at the depths it is told; it keeps every request.
class PickyWindow final : public StageWindow {
public:
    std::vector<DisplayMode> Modes;
    std::vector<int> WorkingDepths;
    std::vector<std::pair<bool, int>> Requests;  // full screen, depth
    std::vector<int> Scales;                     // window scales asked for

    void SetTitle(std::string_view) override {}
    bool Show(bool fullScreen, int bitsPerPixel) override
    {
        Requests.emplace_back(fullScreen, bitsPerPixel);
        return !fullScreen ||
               std::find(WorkingDepths.begin(), WorkingDepths.end(), bitsPerPixel) != WorkingDepths.end();
    }
    void Present(const uint8_t*, int, const StageArea&) override {}
    void SetPointer(Pointer) override {}
    void MovePointer(int, int) override {}
    std::vector<DisplayMode> DisplayModes() override { return Modes; }
    std::optional<InputEvent> WaitEvent(int64_t) override { return std::nullopt; }
    void SetWindowScale(int factor) override { Scales.push_back(factor); }
};

TEST(StageDisplay, FullScreenThatFailsIsTriedAt16BitsThenGivenUp)
{
    struct Case {
        const char* Name;
        std::vector<int> Working;
        bool Only16;
        std::vector<std::pair<bool, int>> Requests;
        bool Shown;
    };
    const Case cases[] = {
        {"32 bits work", {32}, false, {{true, 32}}, true},
        {"only 16 bits work", {16}, false, {{true, 32}, {true, 16}}, true},
        {"nothing works", {}, false, {{true, 32}, {true, 16}}, false},
        {"16 bits asked and refused: no second try", {}, true, {{true, 16}}, false},
    };
    for (const Case& c : cases) {
        PickyWindow window;
        window.Modes = {{640, 480, 16}, {640, 480, 32}, {1920, 1080, 32}};
        window.WorkingDepths = c.Working;
        RecordingMessageBox messages{false};
        CNovelFileHeader header;
        header.Title = "Story";
        StageDisplay display(window, messages, header, c.Only16);
        EXPECT_EQ(display.Switch(true, false), c.Shown) << c.Name;
        EXPECT_EQ(window.Requests, c.Requests) << c.Name;
        EXPECT_EQ(display.FullScreen(), c.Shown) << c.Name;
        if (c.Shown) {
            EXPECT_TRUE(messages.Messages().empty()) << c.Name;
            continue;
        }
        ASSERT_EQ(messages.Messages().size(), 1u) << c.Name;
        EXPECT_EQ(messages.Messages()[0].caption, "Story");
        EXPECT_EQ(messages.Messages()[0].text, "画面モードを変更できません。\r\n実行を中止します。");
    }
}

TEST(StageDisplay, AWindowIsShownWhateverFullScreenDoes)
{
    PickyWindow window;
    RecordingMessageBox messages{false};
    CNovelFileHeader header;
    StageDisplay display(window, messages, header, false);
    EXPECT_TRUE(display.Switch(false, false));
    EXPECT_FALSE(display.FullScreen());
    EXPECT_TRUE(messages.Messages().empty());
}

InputEvent KeyDown(Key key, bool ctrl, bool alt = false)
{
    InputEvent event;
    event.type = InputEvent::Type::KeyDown;
    event.key = key;
    event.ctrl = ctrl;
    event.alt = alt;
    return event;
}

TEST(StageDisplay, CtrlAndADigitFrom1To4ScaleTheWindow)
{
    struct Case {
        InputEvent key;
        int scale;  // 0: not a scale key
    };
    const Case cases[] = {
        {KeyDown(Key::Digit1, true), 1},       {KeyDown(Key::Digit4, true), 4},
        {KeyDown(Key::Digit2, false), 0},  // a choice's number
        {KeyDown(Key::Digit0, true), 0},       {KeyDown(Key::Digit5, true), 0},
        {KeyDown(Key::Digit2, true, true), 0}, {KeyDown(Key::F1, true), 0},
    };
    for (const Case& c : cases) {
        PickyWindow window;
        RecordingMessageBox messages{false};
        CNovelFileHeader header;
        StageDisplay display(window, messages, header, false);
        EXPECT_EQ(display.HandleScaleKey(c.key), c.scale != 0) << static_cast<int>(c.key.key);
        EXPECT_EQ(window.Scales, c.scale ? std::vector<int>{c.scale} : std::vector<int>{});
    }
}

TEST(StageDisplay, CtrlDigitScalesTheWindowInsteadOfLightingAChoice)
{
    CNovelItem menu = test::MakeItem("m", kItemMenuLink, {"どれ？"});
    menu.Links[0] = {true, "a", "a", false, "", 0};
    menu.Links[1] = {true, "b", "b", false, "", 0};
    test::StageHarness stage(
        test::Items({menu, test::MakeItem("a", kItemEnd, {"A"}), test::MakeItem("b", kItemEnd, {"B"})}));
    stage.StartReading();
    for (int n = 0; n < 50 && stage.State().Mode != PlayerMode::Link; ++n) stage.Tick();
    stage.Replay("0 key Ctrl+2\n100 key Return\n200 quit\n");
    stage.Form().Run();
    EXPECT_EQ(stage.Window().WindowScale(), 2);
    EXPECT_EQ(stage.State().CurrentItem, 0) << "Ctrl+2 lit no choice for Enter to choose";
}

}  // namespace
}  // namespace kelva
