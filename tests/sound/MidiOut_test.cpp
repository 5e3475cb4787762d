// The MIDI output device over the recording ports.
#include <gtest/gtest.h>

#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMidiPort.h"
#include "sound/MidiDrv.h"
#include "sound/MidiOut.h"

namespace kelva {
namespace {

using Bytes = std::vector<uint8_t>;

// The message of the EmidioutputError that `action` raises, or "" when it raises none.
template <class Action>
std::string ErrorOf(Action action)
{
    try {
        action();
    } catch (const EmidioutputError& e) {
        return e.what();
    }
    return "";
}

std::string Text(MidiResult code)
{
    return *CommonMidiErrorText(code);
}

class MidiOutput : public ::testing::Test {
protected:
    ManualClock clock;
    RecordingMidiPorts ports{clock, {"port 0", "port 1"}};
    TMidiOutput output{ports};
};

TEST_F(MidiOutput, DeviceIdOpenAndClose)
{
    output.SetDeviceID(1);
    EXPECT_EQ(output.ProductName(), "port 1");
    EXPECT_EQ(ErrorOf([&] { output.SetDeviceID(2); }), "Invalid device ID");
    EXPECT_EQ(ErrorOf([&] { output.SetDeviceID(-2); }), Text(kMidiErrorBadPort)) << "refused by the query";
    ports.FailNameQuery(true);
    EXPECT_EQ(ErrorOf([&] { output.SetDeviceID(-1); }), Text(kMidiErrorFailed));
    ports.FailNameQuery(false);
    output.SetDeviceID(-1);
    EXPECT_EQ(output.ProductName(), RecordingMidiPorts::kDefaultName);

    EXPECT_FALSE(output.Close()) << "not open";
    ports.FailOpen(true);
    EXPECT_FALSE(output.Open());
    EXPECT_EQ(output.LastResult(), kMidiErrorUnavailable);
    ports.FailOpen(false);
    ASSERT_TRUE(output.Open());
    EXPECT_EQ(ErrorOf([&] { output.SetDeviceID(0); }), "Change to DeviceID while device was open");
    EXPECT_EQ(output.DeviceID(), -1);

    ports.FailClose(true);
    EXPECT_EQ(ErrorOf([&] { output.Close(); }), Text(kMidiErrorFailed));
    EXPECT_TRUE(output.IsOpen());
    ports.FailClose(false);
    EXPECT_TRUE(output.Close());
    EXPECT_EQ(ports.OpenPorts(), 0);
}

TEST_F(MidiOutput, SendsAndAnnouncesLongMessages)
{
    int notices = 0;
    output.SetOnmidioutput([&](TMidiOutput& sender) { notices += &sender == &output; });
    TMyMidiEvent program;
    program.Status = 0xC0;
    program.Data1 = 5;
    TMyMidiEvent escape;
    escape.Status = 0xF7;
    escape.SysexLength = 2;
    escape.Sysex.reset(new uint8_t[2]{0xF7, 0xFA});
    EXPECT_EQ(ErrorOf([&] { output.SendEvent(program); }), "MIDI Output device not open");
    EXPECT_EQ(ErrorOf([&] { output.SendShort(0x90, 1, 2); }), Text(kMidiErrorNotOpen));

    ASSERT_TRUE(output.Open());
    clock.Advance(7);
    output.SendShort(0x93, 60, 127);
    output.SendEvent(program);
    output.SendEvent(escape);
    EXPECT_EQ(notices, 1) << "only long messages are announced";
    const auto sent = ports.Messages();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].TimeMs, 7);
    EXPECT_EQ(sent[0].Bytes, (Bytes{0x93, 60, 127}));
    EXPECT_EQ(sent[1].Bytes, (Bytes{0xC0, 5, 0}));
    EXPECT_TRUE(sent[2].Long);
    EXPECT_EQ(sent[2].Bytes, (Bytes{0xF7, 0xFA}));

    ports.FailAllSends(true);
    EXPECT_EQ(ErrorOf([&] { output.SendShort(0x90, 1, 2); }), Text(kMidiErrorSendFailed));
    EXPECT_EQ(ErrorOf([&] { output.SendEvent(escape); }), Text(kMidiErrorSendFailed));
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(output.ErrorText(kMidiBackendErrorBase + 1), "Specified error number is out of range");
}

}  // namespace
}  // namespace kelva
