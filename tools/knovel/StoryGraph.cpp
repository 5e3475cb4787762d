#include "StoryGraph.h"

#include <map>

#include "Commands.h"
#include "Printable.h"
#include "data/AtomicFile.h"
#include "platform/TextCodec.h"

namespace kelva::knovel {

namespace {

// A dot string literal: quotes and backslashes escaped, line breaks as "\n".
std::string DotString(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string StoryGraph(const NovelFile& novel)
{
    const CNovelItems& items = novel.Items;
    std::string out = "digraph story {\n  node [shape=box];\n";
    const int start = items.IndexOf(novel.Header.StartItem);
    if (start >= 0) out += "  start [shape=point];\n  start -> n" + std::to_string(start) + ";\n";

    for (int i = 0; i < items.Count(); ++i) {
        const CNovelItem& item = items[i];
        std::string attributes =
            "label=" + DotString(Printable(item.Name) + "\n(" + (ItemKindName(item.Kind) ? ItemKindName(item.Kind) : "unknown kind") + ")");
        if (item.Kind == kItemEnd) attributes += ", shape=doubleoctagon";
        if (i == start) attributes += ", style=bold";
        // An item hidden by a later one of the same name is never read.
        if (items.IndexOf(item.Name) != i) attributes += ", color=gray, fontcolor=gray";
        out += "  n" + std::to_string(i) + " [" + attributes + "];\n";
    }

    std::map<std::string, std::string> missing;  // target name -> node id
    for (int i = 0; i < items.Count(); ++i) {
        const CNovelItem& item = items[i];
        if (item.Kind != kItemMenuLink && item.Kind != kItemAutoLink) continue;
        for (const CNovelLink& link : item.Links) {
            if (!link.Enabled) continue;
            std::string target;
            const int index = items.IndexOf(link.Target);
            if (index >= 0) {
                target = "n" + std::to_string(index);
            } else {
                auto [it, added] = missing.emplace(link.Target, "missing" + std::to_string(missing.size()));
                if (added) {
                    out += "  " + it->second +
                           " [label=" + DotString(Printable(link.Target) + "\n(missing)") +
                           ", color=red, fontcolor=red, style=dashed];\n";
                }
                target = it->second;
            }
            std::string label;
            if (link.Conditional) {
                label = Printable(link.Counter) + " >= " + std::to_string(link.Threshold);
            } else if (item.Kind == kItemMenuLink) {
                label = Printable(link.Caption);
            }
            out += "  n" + std::to_string(i) + " -> " + target + " [label=" + DotString(label) +
                   (item.Kind == kItemAutoLink ? ", style=dashed" : "") + "];\n";
        }
    }
    return out + "}\n";
}

int RunGraph(const Arguments& args)
{
    std::string novelPath, outputPath;
    if (!InputAndOutput(args, novelPath, outputPath))
        return Fail("usage: knovel graph STORY.kne -o STORY.dot");
    LoadedNovel loaded;
    std::string error;
    if (!LoadNovelFile(novelPath, loaded, error)) return Fail(error);
    const std::string graph = StoryGraph(loaded.Novel);
    if (!WriteFileAtomically(outputPath, std::vector<uint8_t>(graph.begin(), graph.end()), error)) {
        return Fail("cannot write " + outputPath + ": " + error);
    }
    return 0;
}

}  // namespace kelva::knovel
