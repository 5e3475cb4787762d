// Replay scripts, the event lists that drive the player in tests and demos.
#include "FuzzSupport.h"
#include "platform/headless/ReplayScript.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ParseReplayScript(fuzz::Text(data, size));
    return 0;
}
