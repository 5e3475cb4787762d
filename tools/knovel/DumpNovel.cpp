// The novel file part of knovel dump.
#include <algorithm>
#include <cstdio>

#include "Commands.h"
#include "Dump.h"
#include "HeaderFields.h"
#include "Printable.h"

namespace kelva::knovel {

namespace {

void Line(std::string& out, const std::string& text)
{
    out += text;
    out += '\n';
}

std::string HeaderValue(const HeaderField& field, const CNovelFileHeader& header)
{
    if (field.Type == HeaderFieldType::String) return QuotedPrintable(header.*field.Text);
    std::string value = HeaderFieldText(field, header);
    if (field.Type == HeaderFieldType::Colour) {
        char stored[16];
        std::snprintf(stored, sizeof stored, " (0x%08X)", static_cast<unsigned>(header.*field.Colour));
        value += stored;
    }
    return value;
}

std::string LinkText(const CNovelLink& link)
{
    std::string text = link.Enabled ? "" : "disabled ";
    text += QuotedPrintable(link.Caption) + " -> " + QuotedPrintable(link.Target);
    if (link.Conditional) {
        text += " if " + QuotedPrintable(link.Counter) + " >= " + std::to_string(link.Threshold);
    } else if (!link.Counter.empty() || link.Threshold != 1) {
        text += " (not conditional; counter " + QuotedPrintable(link.Counter) + ", threshold " +
                std::to_string(link.Threshold) + ")";
    }
    return text;
}

}  // namespace

std::string DescribeNovel(const LoadedNovel& loaded)
{
    const NovelFile& novel = loaded.Novel;
    std::string out;
    Line(out, std::string("novel file") + (loaded.Scrambled ? " (scrambled, as stored in a package)" : ""));

    // Every header field in file order, each with its offset in a version 7 file.
    struct Row {
        int offset;
        std::string name;
        std::string value;
    };
    std::vector<Row> rows;
    for (const HeaderField& field : HeaderFields())
        rows.push_back({field.Offset, field.Name, HeaderValue(field, novel.Header)});
    rows.push_back({33, "Version", std::to_string(novel.Header.Version)});
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.offset < b.offset; });
    Line(out, "header:");
    for (const Row& row : rows) {
        char prefix[64];
        std::snprintf(prefix, sizeof prefix, "  %4d  %-18s ", row.offset, row.name.c_str());
        Line(out, prefix + row.value);
    }

    Line(out, "counters: " + std::to_string(novel.Counters.Count()));
    for (int i = 0; i < novel.Counters.Count(); ++i) {
        const CNovelCounter& counter = novel.Counters[i];
        Line(out, "  " + std::to_string(i + 1) + ". " + QuotedPrintable(counter.Name) + "  value " +
                      std::to_string(counter.Value) + "  min " + std::to_string(counter.Min) + "  max " +
                      std::to_string(counter.Max) + (counter.Persistent ? "  persistent" : ""));
    }

    Line(out, "items: " + std::to_string(novel.Items.Count()));
    for (int i = 0; i < novel.Items.Count(); ++i) {
        const CNovelItem& item = novel.Items[i];
        const char* kind = ItemKindName(item.Kind);
        Line(out, "  " + std::to_string(i + 1) + ". " + QuotedPrintable(item.Name) + "  " +
                      (kind ? kind : "kind " + std::to_string(item.Kind) + " (unknown)") + "  position (" +
                      std::to_string(item.EditorX) + ", " + std::to_string(item.EditorY) + ")  " +
                      std::to_string(item.Lines.size()) + (item.Lines.size() == 1 ? " line" : " lines"));
        for (size_t n = 0; n < item.Lines.size(); ++n) {
            char number[32];
            std::snprintf(number, sizeof number, "    %4zu| ", n + 1);
            Line(out, number + Printable(item.Lines[n]));
        }
        // Disabled slots are shown only when they hold anything.
        static const CNovelLink kEmpty;
        for (size_t slot = 0; slot < item.Links.size(); ++slot) {
            const CNovelLink& link = item.Links[slot];
            if (!link.Enabled && link.Caption.empty() && link.Target.empty() && !link.Conditional &&
                link.Counter.empty() && link.Threshold == kEmpty.Threshold) {
                continue;
            }
            Line(out, "    link " + std::to_string(slot + 1) + ": " + LinkText(link));
        }
    }
    if (loaded.TrailingBytes > 0)
        Line(out, std::to_string(loaded.TrailingBytes) + " bytes after the item block");
    return out;
}

int DumpNovel(const std::string& path, const std::vector<uint8_t>& bytes)
{
    LoadedNovel loaded;
    try {
        loaded = ReadNovelFile(bytes);
    } catch (const FormatError& e) {
        return Fail(path + ": not a readable novel file: " + ForTerminal(e.what()));
    }
    std::fputs(DescribeNovel(loaded).c_str(), stdout);
    return 0;
}

}  // namespace kelva::knovel
