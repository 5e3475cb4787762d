// The story source: a YAML document (UTF-8) that an author writes and `knovel build` turns
// into a novel file, and that `knovel decompile` writes back from one. docs/story-format.md
// describes it for authors.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "NovelFile.h"

namespace kelva::knovel {

// A story source that can't be built. The message (UTF-8) starts with the source's name,
// line and column: "story.yaml:12:5: unknown key 'titel' in header".
class StoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the parts of a story stand in its source, 1-based (0 when unknown), so that
// findings about the built story can point back at the text an author wrote.
struct SourcePlace {
    int Line = 0;
    int Column = 0;
};
struct SourceMap {
    struct ItemPlaces {
        SourcePlace Item;
        std::vector<SourcePlace> Lines;  // one per line of the item's text
        std::vector<SourcePlace> Links;  // one per listed link slot
    };
    SourcePlace Header;
    std::vector<SourcePlace> Counters;
    std::vector<ItemPlaces> Items;
};

// Reads a story source. `fileName` names it in messages. Everything is checked before
// anything is returned: unknown or repeated keys at any level, text CP932 can't hold,
// strings too long for their fields, numbers that aren't whole or are out of range, bad
// kinds and colours, more than 2048 items, 256 counters or 8 links. Throws StoryError at
// the first fault. When `map` is given it receives the places of the story's parts.
NovelFile ParseStorySource(std::string_view source, const std::string& fileName, SourceMap* map = nullptr);

// The story source for `novel`. Building it gives back exactly the bytes that
// SaveNovelFile(novel) gives, unless `notes` says otherwise: each note (UTF-8) tells of
// something in the novel that the source can't carry unchanged (text that isn't valid
// CP932, values outside what a source may give).
std::string DecompileStory(const NovelFile& novel, std::vector<std::string>* notes = nullptr);

// The item text of a story source, from the item's lines and back: each line ended by a
// line feed; reading splits at CR LF, CR or LF and a break at the very end adds no line.
std::string LinesToSourceText(const std::vector<std::string>& lines);

}  // namespace kelva::knovel
