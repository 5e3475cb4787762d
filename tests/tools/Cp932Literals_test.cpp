// The build step that turns the narrow literals of UTF-8 sources into CP932 escapes. The
// sources given to it are written as u8 literals here, which it leaves alone in this file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string_view>

#include "support/TestFiles.h"

namespace kelva {
namespace {

using ::testing::HasSubstr;

std::string Utf8(const char8_t* text)
{
    return reinterpret_cast<const char*>(text);
}

// Runs the tool on `source`; the converted text without its #line directive, or the
// tool's message.
test::CommandResult Convert(const std::string& source, const test::TempDir& dir)
{
    const std::string input = dir.File("in.cpp"), output = dir.File("out.cpp");
    test::WriteBytes(input, {source.begin(), source.end()});
    test::CommandResult result = test::RunCommand(std::string(KELVA_BIN_DIR) + "/kelva_cp932_literals " +
                                                  input + " " + output + " 2>&1");
    if (result.status != 0) return result;
    const std::vector<uint8_t> bytes = test::ReadBytes(output);
    result.output.assign(bytes.begin(), bytes.end());
    const std::string directive = "#line 1 \"" + input + "\"\n";
    EXPECT_EQ(result.output.substr(0, directive.size()), directive);
    result.output.erase(0, directive.size());
    return result;
}

TEST(Cp932LiteralsTest, NarrowLiteralsBecomeOctalEscapesAndNothingElseChanges)
{
    struct Case {
        const char* name;
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {"string", Utf8(u8"f(\"あソ\");"), "f(\"\\202\\240\\203\\134\");"},
        {"character", Utf8(u8"c = 'ｱ';"), "c = '\\261';"},
        {"hex digit after the escape", Utf8(u8"\"\\x41あB1\""), "\"\\x41\\202\\240B1\""},
        {"escaped quote before", Utf8(u8"\"\\\"あ\" \"\\\\\" \"い\""),
         "\"\\\"\\202\\240\" \"\\\\\" \"\\202\\242\""},
        {"prefixed literals", Utf8(u8"u8\"あ\" u\"あ\" U'あ' L\"あ\" u8R\"x(あ)x\""),
         Utf8(u8"u8\"あ\" u\"あ\" U'あ' L\"あ\" u8R\"x(あ)x\"")},
        {"comments", Utf8(u8"// \"あ\" it's\n/* 'い' \"う\" */ \"え\""),
         Utf8(u8"// \"あ\" it's\n/* 'い' \"う\" */ ") + "\"\\202\\246\""},
        {"digit separators", Utf8(u8"x = 1'000'000; s = \"あ\";"), "x = 1'000'000; s = \"\\202\\240\";"},
        {"ASCII raw string", "R\"(a\"b)\" \"c\"", "R\"(a\"b)\" \"c\""},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::CommandResult result = Convert(c.source, dir);
        EXPECT_EQ(result.status, 0) << result.output;
        EXPECT_EQ(result.output, c.expected);
    }
}

TEST(Cp932LiteralsTest, TextItCanNotWriteStopsTheBuildAtItsLine)
{
    test::TempDir dir;
    test::CommandResult result = Convert(Utf8(u8"int a;\nauto s = \"😀\";\n"), dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.output, HasSubstr("in.cpp:2: \"" + Utf8(u8"😀") + "\" has no CP932 form"));
    result = Convert(Utf8(u8"auto s =\n  R\"(あ)\";\n"), dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.output, HasSubstr("in.cpp:2: non-ASCII text in a raw narrow string"));
}

TEST(Cp932LiteralsTest, ThisFileWasCompiledThroughIt)
{
    EXPECT_EQ(std::string_view("あソ①ｱ"), "\x82\xA0\x83\x5C\x87\x40\xB1");
}

}  // namespace
}  // namespace kelva
