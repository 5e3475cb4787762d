// The bookmark file as the player reads it (as much as is whole), and the records it
// keeps surviving a write and a read unchanged.
#include "FuzzSupport.h"
#include "data/BookmarkData.h"
#include "data/Stream.h"

using namespace kelva;

namespace {

std::vector<uint8_t> Saved(TBookmarkList& list)
{
    MemoryStream out;
    list.SaveToStream(out);
    return out.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryStream stream(fuzz::Bytes(data, size));
    TBookmarkList list;
    list.LoadReadable(stream);
    for (int i = 0; i < list.Count(); ++i) list[i].UpdateTexts();

    const std::vector<uint8_t> first = Saved(list);
    MemoryStream again(first);
    TBookmarkList reread;
    try {
        reread.LoadFromStream(again);
    } catch (const FormatError&) {
        fuzz::Broken("a written bookmark file does not read back");
    }
    if (reread.Count() != list.Count() || Saved(reread) != first) fuzz::Broken("bookmark round trip");
    return 0;
}
