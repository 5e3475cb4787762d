// CUE sheets of disc images.
#include "FuzzSupport.h"
#include "sound/CueSheet.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = fuzz::Text(data, size);
    std::string error;
    CueSheet::Parse(text, "fuzz.cue", error);
    ParseCueTime(text);
    return 0;
}
