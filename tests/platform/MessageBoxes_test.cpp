// What message boxes leave on stderr: every error and warning, and whatever no box
// could show, as "caption: text".
#include <gtest/gtest.h>

#include <string>

#include "platform/TextCodec.h"
#include "platform/headless/RecordingMessageBox.h"
#include "platform/sdl/SdlMessageBox.h"
#include "support/EnvironmentGuard.h"

namespace kelva {
namespace {

// stderr while `show` runs.
template <typename Show>
std::string Printed(Show show)
{
    testing::internal::CaptureStderr();
    show();
    return testing::internal::GetCapturedStderr();
}

TEST(MessageBoxes, WithoutADesktopEveryBoxIsLeftOnStderr)
{
    test::EnvironmentGuard environment;
    environment.Set("DISPLAY", std::nullopt);
    environment.Set("WAYLAND_DISPLAY", std::nullopt);
    SdlMessageBox boxes;
    RecordingMessageBox recorded;
    for (MessageBox* box : {static_cast<MessageBox*>(&boxes), static_cast<MessageBox*>(&recorded)}) {
        for (const MessageIcon icon : {MessageIcon::Error, MessageIcon::Warning, MessageIcon::Information}) {
            EXPECT_EQ(Printed([&] { box->Show("物語", "ファイルがありません。", icon); }),
                      Cp932ToUtf8("物語: ファイルがありません。\n"));
        }
        bool answer = true;
        const std::string asked =
            Printed([&] { answer = box->AskYesNo("本を閉じる", "終了してよろしいですか？"); });
        EXPECT_FALSE(answer);
        EXPECT_EQ(asked.rfind(Cp932ToUtf8("本を閉じる: 終了してよろしいですか？\n"), 0), 0u) << asked;
    }
}

}  // namespace
}  // namespace kelva
