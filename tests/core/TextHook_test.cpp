// The text hook: the story's lines as the reader sees them, and each menu's choices.
#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "support/StageHarness.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

TEST(TextHook, GetsEveryFinishedLineAndTheChoicesInUtf8)
{
    CNovelItem menu =
        test::MakeItem("m", kItemMenuLink, {"はじめの行。@", "つぎの行;", "つづき。", "おわり"});
    menu.Links[0] = {true, "右へ", "a", false, "", 0};
    menu.Links[1] = {true, "左へ", "a", false, "", 0};
    test::StageHarness stage(test::Items({menu, test::MakeItem("a", kItemEnd, {"A"})}));
    test::TempDir dir;
    ASSERT_TRUE(stage.Log().OpenTextHook(dir.File("hook.txt")));
    stage.StartReading();
    for (int n = 0; n < 200 && !(stage.State().Mode == PlayerMode::Link); ++n) {
        stage.Tick();
        if (stage.State().Mode == PlayerMode::KeyWait) stage.Click();
    }
    stage.Tick();  // the menu
    const std::vector<uint8_t> bytes = test::ReadBytes(dir.File("hook.txt"));
    // Lines joined by ";" come as one; choices as the menu shows them, numbered.
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              Cp932ToUtf8("はじめの行。\nつぎの行つづき。\nおわり\n1. 右へ\n2. 左へ\n"));
}

}  // namespace
}  // namespace kelva
