// Lines cut into rows a character at a time, double-byte characters kept whole.
#include "graphics/TextRows.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

// Single bytes advance 11 pixels, double-byte characters 21.
class NarrowAndWide final : public FontRasteriser {
public:
    TextExtent MeasureText(const FontSpec&, std::string_view text) override
    {
        return {text.size() == 1 ? 20 : 40, 40};
    }
    void DrawText(const FontSpec&, std::string_view, const GreyBuffer&, int, int, RasterMode) override {}
};

TEST(TextRows, WrapBetweenCharactersAndNeverSplitOne)
{
    NarrowAndWide fonts;
    TAntiAliasTextout text(fonts);
    struct Case {
        const char* name;
        std::string line;
        int width;
        std::vector<std::string> rows;
    } cases[] = {
        {"empty", "", 100, {""}},
        {"fits exactly", "あいう", 63, {"あいう"}},
        {"one pixel short", "あいう", 62, {"あい", "う"}},
        {"narrower than a character", "あいう", 5, {"あ", "い", "う"}},
        {"single and double bytes", "abあc", 31, {"ab", "あ", "c"}},
        // "ソ" ends in the byte of "\": it stays one character.
        {"a trail byte like ASCII", "a\x83\x5c", 11, {"a", "\x83\x5c"}},
        {"a lead byte at the very end", "a\x83", 11, {"a", "\x83"}},
    };
    for (const Case& c : cases) EXPECT_EQ(WrapToWidth(text, c.line, c.width), c.rows) << c.name;
    EXPECT_EQ(LineWidth(text, "abあ"), 43);
}

}  // namespace
}  // namespace kelva
