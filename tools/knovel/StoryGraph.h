// knovel graph: the story's items and links as a Graphviz graph.
#pragma once

#include <string>

#include "NovelFile.h"

namespace kelva::knovel {

// A "dot" digraph (UTF-8). Items are nodes labelled with name and kind: end items drawn as
// double octagons, the start item in bold with an arrow from a dot. Enabled links of menu
// and automatic items are edges (automatic ones dashed) labelled with the caption of a
// menu choice and, for conditional ones, "counter >= threshold"; a link to a missing item ends at a red
// node of that name. The links of end items are never followed and aren't drawn.
std::string StoryGraph(const NovelFile& novel);

}  // namespace kelva::knovel
