#include "StoryGraph.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "Commands.h"
#include "Printable.h"
#include "Subprocess.h"
#include "data/AtomicFile.h"
#include "data/ShiftJis.h"
#include "data/Stream.h"
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
            "label=" + DotString(Printable(item.Name) + "\n(" +
                                 (ItemKindName(item.Kind) ? ItemKindName(item.Kind) : "unknown kind") + ")");
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
            // A choice shows its caption, and under it the condition it waits for.
            std::string label = item.Kind == kItemMenuLink ? Printable(link.Caption) : std::string();
            if (link.Conditional) {
                label += (label.empty() ? "" : "\n") + Printable(link.Counter) +
                         " >= " + std::to_string(link.Threshold);
            }
            out += "  n" + std::to_string(i) + " -> " + target + " [label=" + DotString(label) +
                   (item.Kind == kItemAutoLink ? ", style=dashed" : "") + "];\n";
        }
    }
    return out + "}\n";
}

namespace {

// The picture format Graphviz is asked for by the output's extension; empty for the dot
// text itself.
std::string RenderedFormat(const std::string& outputPath)
{
    const std::string extension = LowerCaseAscii(std::filesystem::path(outputPath).extension().string());
    return extension == ".svg" || extension == ".png" ? extension.substr(1) : std::string();
}

// Runs Graphviz's "dot" on `graph` and returns the picture it draws. Temporary files
// carry both directions, so neither side can block on a full pipe.
bool RenderGraph(const std::string& graph, const std::string& format, std::vector<uint8_t>& picture,
                 std::string& error)
{
    TemporaryFile input("knovel-graph");
    TemporaryFile output("knovel-picture");
    if (!input.IsOpen() || !output.IsOpen() || !input.Write({graph.begin(), graph.end()})) {
        error = std::string("cannot write a temporary file: ") + std::strerror(errno);
        return false;
    }
    if (!RunProgram({"dot", "-T" + format}, input.Path(), output.Descriptor(), error)) {
        error += " (Graphviz draws the pictures: install the graphviz package, or write a .dot file)";
        return false;
    }
    auto drawn = ReadWholeFile(output.Path());
    if (!drawn) {
        error = "cannot read what Graphviz drew";
        return false;
    }
    picture = drawn->TakeBytes();
    return true;
}

}  // namespace

int RunGraph(const Arguments& args)
{
    std::string novelPath, outputPath;
    if (!InputAndOutput(args, novelPath, outputPath))
        return Fail("usage: knovel graph STORY.kne -o STORY.dot|STORY.svg|STORY.png");
    LoadedNovel loaded;
    std::string error;
    if (!LoadNovelFile(novelPath, loaded, error)) return Fail(error);
    const std::string graph = StoryGraph(loaded.Novel);
    std::vector<uint8_t> bytes(graph.begin(), graph.end());
    const std::string format = RenderedFormat(outputPath);
    if (!format.empty() && !RenderGraph(graph, format, bytes, error)) return Fail(error);
    if (!WriteFileAtomically(outputPath, bytes, error))
        return Fail("cannot write " + outputPath + ": " + error);
    return 0;
}

}  // namespace kelva::knovel
