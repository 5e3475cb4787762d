// The novel file as the player reads it at start-up: header, initial counters, items;
// then what the stage asks of them (names, links).
#include "FuzzSupport.h"
#include "data/NovelData.h"
#include "data/Stream.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryStream stream(fuzz::Bytes(data, size));
    CNovelFileHeader header;
    CNovelCounters counters;
    CNovelItems items;
    try {
        header.LoadFromStream(stream);
        counters.LoadFromStream(stream);
        items.LoadFromStream(stream);
    } catch (const FormatError&) {
        return 0;
    }
    for (int i = 0; i < items.Count(); ++i) {
        if (items.IndexOf(items[i].Name) < i)
            fuzz::Broken("IndexOf found an item before the first of its name");
        for (const CNovelLink& link : items[i].Links) LinkHolds(link, counters);
    }
    // What was read writes back and reads again to the same story.
    const std::vector<uint8_t> saved = NovelFileBytes(header, counters, items);
    MemoryStream again(saved);
    CNovelFileHeader header2;
    CNovelCounters counters2;
    CNovelItems items2;
    header2.LoadFromStream(again);
    counters2.LoadFromStream(again);
    items2.LoadFromStream(again);
    if (NovelFileBytes(header2, counters2, items2) != saved) fuzz::Broken("novel file round trip");
    return 0;
}
