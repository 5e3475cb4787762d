// Story sources: whatever builds must decompile to a source that builds to the same bytes.
#include "FuzzSupport.h"
#include "knovel/StorySource.h"

using namespace kelva;
using namespace kelva::knovel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    NovelFile novel;
    try {
        novel = ParseStorySource(fuzz::Text(data, size), "fuzz.yaml");
    } catch (const StoryError&) {
        return 0;
    }
    const std::vector<uint8_t> built = SaveNovelFile(novel);
    std::vector<std::string> notes;
    const std::string source = DecompileStory(novel, &notes);
    if (!notes.empty()) return 0;  // the source says what it could not carry
    try {
        if (SaveNovelFile(ParseStorySource(source, "decompiled.yaml")) != built)
            fuzz::Broken("story round trip");
    } catch (const StoryError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        fuzz::Broken("a decompiled story does not build");
    }
    return 0;
}
