// Standard MIDI Files: loading into tracks and tempo map, then a second of playback on a
// virtual clock into a recording output.
#include "FuzzSupport.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMidiPort.h"
#include "sound/MidiDrv.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ManualClock clock;
    RecordingMidiPorts ports{clock};
    TMidiDrive drive{ports, clock, MidiThread::None};
    drive.OpenDevice(-1);
    MemoryStream stream(fuzz::Bytes(data, size));
    try {
        drive.LoadFromStream(stream);
    } catch (const EFOpenError&) {
        return 0;
    }
    drive.LoadWarnings();
    drive.Play();
    for (int cycle = 0; cycle < 500; ++cycle) drive.Step();
    drive.Stop();
    return 0;
}
