#include "platform/headless/ReplayScript.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace kelva {
namespace {

TEST(ReplayScript, ParsesEveryKindOfEvent)
{
    const ReplayParseResult result = ParseReplayScript(
        "# a comment line\n"
        "1000  click 320 240          # left\n"
        "1200  down 40 60 right\n"
        "1250  up 41 61 right\n"
        "1300  move 100 200\n"
        "1500  key Space\n"
        "2000  answer yes\n"
        "2500  dump page1\n"
        "\n"
        "3000  focus out\n"
        "3100  focus in\n"
        "9000  quit\n");
    ASSERT_EQ(result.error, "");
    ASSERT_EQ(result.events.size(), 11u);
    // A click is a press and a release at one place and time.
    EXPECT_EQ(result.events[0].input.type, InputEvent::Type::MouseDown);
    EXPECT_EQ(result.events[0].input.button, MouseButton::Left);
    EXPECT_EQ(result.events[0].input.x, 320);
    EXPECT_EQ(result.events[1].input.type, InputEvent::Type::MouseUp);
    EXPECT_EQ(result.events[1].input.x, 320);
    EXPECT_EQ(result.events[1].timeMs, 1000);
    EXPECT_EQ(result.events[2].input.type, InputEvent::Type::MouseDown);
    EXPECT_EQ(result.events[2].input.button, MouseButton::Right);
    EXPECT_EQ(result.events[3].input.type, InputEvent::Type::MouseUp);
    EXPECT_EQ(result.events[3].input.x, 41);
    EXPECT_EQ(result.events[4].input.type, InputEvent::Type::MouseMove);
    EXPECT_EQ(result.events[5].input.key, Key::Space);
    EXPECT_EQ(result.events[6].kind, ReplayEvent::Kind::Answer);
    EXPECT_TRUE(result.events[6].yes);
    EXPECT_EQ(result.events[7].dumpName, "page1");
    EXPECT_EQ(result.events[8].input.type, InputEvent::Type::FocusLost);
    EXPECT_EQ(result.events[9].input.type, InputEvent::Type::FocusGained);
    EXPECT_EQ(result.events[10].input.type, InputEvent::Type::Quit);
    EXPECT_EQ(result.events[10].timeMs, 9000);
}

TEST(ReplayScript, NamesTheLineOfAProblem)
{
    EXPECT_EQ(ParseReplayScript("10 click 1 2\n5 quit\n").error, "line 2: time goes backwards");
    EXPECT_EQ(ParseReplayScript("10 jump\n").error, "line 1: unknown event 'jump'");
    EXPECT_NE(ParseReplayScript("x click 1 2\n").error, "");
    EXPECT_NE(ParseReplayScript("10 click 1\n").error, "");
    EXPECT_NE(ParseReplayScript("10 click 1 2 sideways\n").error, "");
    EXPECT_NE(ParseReplayScript("10 dump ../escape\n").error, "");  // stays in the dump folder
    EXPECT_NE(ParseReplayScript("10 answer maybe\n").error, "");
    EXPECT_EQ(ParseReplayScript("10 focus away\n").error, "line 1: focus must be out or in");
    EXPECT_EQ(ParseReplayScript("10 key Space\n20 key Spcae\n").error, "line 2: unknown key 'Spcae'");
}

TEST(ReplayScript, TextTypesTheRestOfTheLineAndDoubleClicksAndTheWheelAreInputToo)
{
    const ReplayParseResult result = ParseReplayScript(
        "10 text -12 \xEF\xBC\x93 # typed: UTF-8 in the file\n20 dblclick 5 6\n30 wheel -2\n");
    ASSERT_EQ(result.error, "");
    ASSERT_EQ(result.events.size(), 6u);
    EXPECT_EQ(result.events[0].input.type, InputEvent::Type::TextInput);
    EXPECT_EQ(result.events[0].input.text, "-12 ３") << "inner spaces stay, the text is CP932";
    std::vector<std::pair<InputEvent::Type, int>> presses;
    for (int i = 1; i <= 4; ++i)
        presses.emplace_back(result.events[i].input.type, result.events[i].input.clicks);
    EXPECT_EQ(presses, (std::vector<std::pair<InputEvent::Type, int>>{{InputEvent::Type::MouseDown, 1},
                                                                      {InputEvent::Type::MouseUp, 1},
                                                                      {InputEvent::Type::MouseDown, 2},
                                                                      {InputEvent::Type::MouseUp, 2}}));
    EXPECT_EQ(result.events[5].input.wheel, -2);
    EXPECT_EQ(ParseReplayScript("10 text \n").error, "line 1: text needs the characters to type");
    EXPECT_NE(ParseReplayScript("10 wheel 0\n").error, "");
}

TEST(ReplayScript, KeysGoByTheirOwnNamesAndCommonAliases)
{
    for (int k = static_cast<int>(Key::Space); k <= static_cast<int>(Key::Z); ++k) {
        const Key key = static_cast<Key>(k);
        ASSERT_FALSE(KeyName(key).empty()) << k;
        EXPECT_EQ(KeyFromName(KeyName(key)), key) << KeyName(key);
    }
    const ReplayParseResult aliases = ParseReplayScript("1 key Enter\n2 key Alt+Enter\n3 key Esc\n");
    ASSERT_EQ(aliases.events.size(), 3u);
    EXPECT_EQ(aliases.events[0].input.key, Key::Return);
    EXPECT_TRUE(aliases.events[1].input.alt);
    EXPECT_EQ(aliases.events[1].input.key, Key::Return);
    EXPECT_EQ(aliases.events[2].input.key, Key::Escape);
}

TEST(ReplayScript, HeldKeysAndGamepadButtons)
{
    const ReplayParseResult result = ParseReplayScript(
        "1 keydown Ctrl\n2 key Ctrl+2\n3 keyup Ctrl\n4 pad A\n5 pad RightShoulder down\n"
        "6 pad RightShoulder up\n");
    ASSERT_EQ(result.error, "");
    std::vector<std::tuple<InputEvent::Type, Key, bool>> keys;
    for (int i = 0; i < 3; ++i) {
        const InputEvent& input = result.events[i].input;
        keys.emplace_back(input.type, input.key, input.ctrl);
    }
    EXPECT_EQ(keys, (std::vector<std::tuple<InputEvent::Type, Key, bool>>{
                        {InputEvent::Type::KeyDown, Key::Ctrl, true},
                        {InputEvent::Type::KeyDown, Key::Digit2, true},
                        {InputEvent::Type::KeyUp, Key::Ctrl, false}}));
    std::vector<std::pair<InputEvent::Type, PadButton>> pads;
    for (size_t i = 3; i < result.events.size(); ++i)
        pads.emplace_back(result.events[i].input.type, result.events[i].input.pad);
    EXPECT_EQ(pads, (std::vector<std::pair<InputEvent::Type, PadButton>>{
                        {InputEvent::Type::PadDown, PadButton::A},
                        {InputEvent::Type::PadUp, PadButton::A},
                        {InputEvent::Type::PadDown, PadButton::RightShoulder},
                        {InputEvent::Type::PadUp, PadButton::RightShoulder}}));
    EXPECT_EQ(ParseReplayScript("1 pad Z\n").error, "line 1: unknown pad button 'Z'");
    EXPECT_NE(ParseReplayScript("1 pad A sideways\n").error, "");
    EXPECT_NE(ParseReplayScript("1 key Space extra\n").error, "");
}

}  // namespace
}  // namespace kelva
