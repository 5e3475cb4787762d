// A numeric edit: an integer typed in a one-line edit field, with a pair of up/down
// buttons at its right that step it through its range.
//
// What is typed is taken in (committed) when the field loses the focus, on Enter when the
// key reaches the field, and before every step: its digits make the number, a leading "-"
// or full-width "－" makes it negative, a number beyond 32 bits becomes Min (negative) or
// Max, and a text without a digit keeps the value it had. The value is then limited to
// [Min, Max] and shown again, selected.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "graphics/AntiAliasTextout.h"
#include "ui/WinControl.h"

namespace kelva {

// The value a committed text stands for, before limiting: `previous` when it holds no digit.
int32_t NumeralTextValue(std::string_view text, int32_t previous, int32_t min, int32_t max);

class TUDNumeralEdit final : public TWinControl {
public:
    static constexpr int32_t kDefaultMin = -2147483647;
    static constexpr int32_t kDefaultMax = 2147483647;

    explicit TUDNumeralEdit(FontRasteriser& fonts);

    int32_t Increment = 1;
    bool KeyCheck = true;  // only digits and "-" can be typed
    int BtnWidth = 15;

    int32_t NValue() const { return m_value; }
    // Stores the value limited to the range and shows it.
    void SetNValue(int32_t value);
    int32_t Min() const { return m_min; }
    int32_t Max() const { return m_max; }
    // A new Min never lies above Max; the value is brought up to it. Max likewise.
    void SetMin(int32_t value);
    void SetMax(int32_t value);
    // Both ends, set in the order that lets any range through whatever the old one was.
    void SetRange(int32_t min, int32_t max);

    const std::string& Text() const { return m_text; }
    bool UpEnabled() const;
    bool DownEnabled() const;
    // Takes the typed text in.
    void Commit();
    // Commits, then moves the value one Increment up (+1) or down (-1).
    void Step(int direction);

    void Enter() override { SelectAll(); }
    void Exit() override { Commit(); }
    bool KeyDown(Key key) override;
    void TextInput(std::string_view text) override;
    bool WantsText() const override { return true; }
    void MouseDown(MouseButton button, int x, int y, int clicks) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void Paint(TNkDIB& client) override;

private:
    void Show();
    void SelectAll();
    // Puts `text` in place of the selection, the caret after it.
    void Replace(std::string_view text);
    TRect TextRect() const;
    TRect ButtonRect(bool up) const;
    // The text's left edge, right-aligned in the field; and the caret place nearest x.
    int TextLeft() const;
    size_t CaretAt(int x) const;

    TAntiAliasTextout m_renderer;
    int32_t m_value = 0;
    int32_t m_min = kDefaultMin;
    int32_t m_max = kDefaultMax;
    std::string m_text;  // CP932
    size_t m_caret = 0;
    size_t m_anchor = 0;  // the selection runs from here to the caret
    int m_held = 0;       // the button held: +1 up, -1 down
};

}  // namespace kelva
