#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug/DebugCounterForm.h"
#include "graphics/FakeFontRasteriser.h"
#include "support/InputEvents.h"
#include "ui/WindowLayer.h"

namespace kelva {
namespace {

// Remembers every text it is asked to draw.
class RecordingFonts final : public test::FakeFontRasteriser {
public:
    std::vector<std::string> Drawn;
    void DrawText(const FontSpec& font, std::string_view text, const GreyBuffer& target, int x, int y,
                  RasterMode mode) override
    {
        Drawn.emplace_back(text);
        FakeFontRasteriser::DrawText(font, text, target, x, y, mode);
    }
};

using test::Event;

// The form centred on the stage, shown in a layer of its own, driven by stage pixels.
// The window is 343 x 355 at (148, 62); its client area starts at (151, 84).
struct CounterWindow {
    RecordingFonts fonts;
    CNovelCounters counters;
    WindowLayer layer{[] {}};
    TDebugCounterForm form{fonts, counters};

    static constexpr int kLineX = 200;
    static int LineY(int line) { return 123 + 18 * line + 9; }
    static constexpr TPoint kEditText{240, 398};
    static constexpr TPoint kChange{320, 398};

    explicit CounterWindow(std::initializer_list<CNovelCounter> list)
    {
        for (const CNovelCounter& counter : list) counters.Add(counter);
        form.Prepare();
        layer.Show(form);
    }
    void Click(int x, int y)
    {
        layer.HandleInput(Event(InputEvent::Type::MouseDown, x, y));
        layer.HandleInput(Event(InputEvent::Type::MouseUp, x, y));
    }
    void Key(kelva::Key key)
    {
        InputEvent event = Event(InputEvent::Type::KeyDown);
        event.key = key;
        layer.HandleInput(event);
    }
    void Type(const std::string& text)
    {
        InputEvent event = Event(InputEvent::Type::TextInput);
        event.text = text;
        layer.HandleInput(event);
    }
};

TEST(DebugCounterForm, SelectingALineLoadsTheEditWithTheCounterAndItsRange)
{
    CounterWindow w({{"small", 3, 0, 10}, {"wide", 50, 0, 100}, {"fixed", 7, 7, 7}, {"high", 60, 50, 90}});
    EXPECT_EQ(w.form.List().ItemIndex(), 0);
    EXPECT_EQ(w.form.ValEdit().NValue(), 3);
    w.Click(CounterWindow::kLineX, CounterWindow::LineY(1));
    EXPECT_EQ(w.form.ValEdit().NValue(), 50);
    EXPECT_TRUE(w.form.ValEdit().UpEnabled());
    EXPECT_TRUE(w.form.ValEdit().DownEnabled());
    w.Click(CounterWindow::kLineX, CounterWindow::LineY(2));
    EXPECT_EQ(w.form.ValEdit().Text(), "7");
    EXPECT_FALSE(w.form.ValEdit().UpEnabled());
    EXPECT_FALSE(w.form.ValEdit().DownEnabled());
    w.Click(CounterWindow::kLineX, CounterWindow::LineY(3));  // a range wholly above the last
    EXPECT_EQ(w.form.ValEdit().Min(), 50);
    EXPECT_EQ(w.form.ValEdit().NValue(), 60);
    w.Key(Key::Up);  // the list has the focus: the key moves the selection and loads the edit
    EXPECT_EQ(w.form.List().ItemIndex(), 2);
    EXPECT_EQ(w.form.ValEdit().NValue(), 7);
}

TEST(DebugCounterForm, ChangeStoresTheTypedValueLimitedToTheRangeAndEnterClosesWithoutIt)
{
    CounterWindow w({{"small", 3, 0, 10}, {"wide", 50, 0, 100}});
    std::vector<int> changed;
    w.form.OnChange = [&](int index) { changed.push_back(index); };
    w.Click(CounterWindow::kLineX, CounterWindow::LineY(1));
    w.Click(CounterWindow::kEditText.X, CounterWindow::kEditText.Y);
    EXPECT_TRUE(w.layer.WantsTextInput()) << "text entry is on while the edit has the focus";
    w.Key(Key::End);
    w.Key(Key::Backspace);
    w.Key(Key::Backspace);
    w.Type("999");
    w.Click(CounterWindow::kChange.X, CounterWindow::kChange.Y);
    EXPECT_FALSE(w.layer.WantsTextInput());
    EXPECT_EQ(w.counters[1].Value, 100);
    EXPECT_EQ(changed, std::vector<int>{1});

    w.Click(CounterWindow::kEditText.X, CounterWindow::kEditText.Y);
    w.Type("1");
    w.Key(Key::Return);  // reaches the default button "閉じる", not the edit
    EXPECT_EQ(w.form.ModalResult, TDebugCounterForm::kCloseResult);
    EXPECT_EQ(w.counters[1].Value, 100) << "a value only typed is dropped";
}

TEST(DebugCounterForm, LinesShowNameValueAndRangeTheMinusIncluded)
{
    CounterWindow w({{"score", -3, -5, 5}});
    TNkDIB frame(kStageWidth, kStageHeight, 24);
    w.fonts.Drawn.clear();
    w.layer.DrawOver(frame);
    const auto drawn = [&](const std::string& text) {
        return std::find(w.fonts.Drawn.begin(), w.fonts.Drawn.end(), text) != w.fonts.Drawn.end();
    };
    EXPECT_TRUE(drawn("score"));
    EXPECT_TRUE(drawn("-3"));
    EXPECT_TRUE(drawn("-5～5"));
    // The selected line is filled with the selection colour.
    EXPECT_EQ(frame.Pixel(157 + 300, CounterWindow::LineY(0)), MakeColor(10, 36, 106));
    EXPECT_EQ(frame.Pixel(157 + 300, CounterWindow::LineY(1)), MakeColor(255, 255, 255));
}

}  // namespace
}  // namespace kelva
