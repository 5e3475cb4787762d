// The package and bookmark file parts of knovel dump.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <map>

#include "Commands.h"
#include "Dump.h"
#include "PackageFiles.h"
#include "Printable.h"
#include "data/BookmarkData.h"
#include "data/ShiftJis.h"

namespace kelva::knovel {

namespace {

std::string Format(const char* format, auto... values)
{
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// "YYYY-MM-DD HH:MM:SS", or the raw number when it is no date.
std::string SavedText(double saved)
{
    const auto time = DecodeSavedDate(saved);
    if (!time) return Format("not a date (%g)", saved);
    return Format("%04d-%02d-%02d %02d:%02d:%02d", time->Year, time->Month, time->Day, time->Hour,
                  time->Minute, time->Second);
}

void DescribeBookmark(std::string& out, const TBookmarkData& b, int number)
{
    out += Format("bookmark %d (record version %d)\n", number, b.Version);
    out += "  ItemName    " + QuotedPrintable(b.ItemName) + "\n";
    out += Format("  Position    character %" PRId32 ", line %" PRId32 "\n", b.Position.Character,
                  b.Position.Line);
    out += "  Background  " + QuotedPrintable(b.Background) + "\n";
    out += "  Music       " + QuotedPrintable(b.Music) + (b.Music.empty() ? " (none)" : "") + "\n";
    out += "  Sound       " + QuotedPrintable(b.Sound) + (b.Sound.empty() ? " (none)" : "") + "\n";
    out += Format("  CdTrack     %" PRId32 "%s\n", b.CdTrack, b.CdTrack <= 0 ? " (none)" : "");
    out += "  Saved       " + SavedText(b.Saved) + "\n";
    out += "  Label       " + QuotedPrintable(b.Label) + "\n";
    out += "  DateText    " + QuotedPrintable(b.DateText) + "\n";
    out += Format("  PlayNumber  %" PRId32 "\n", b.PlayNumber);
    out += Format("  Page        %" PRId32 "%s\n", b.Page, b.Page < 0 ? " (recorded at an ending)" : "");

    out += Format("  counters: %d\n", b.Counters.Count());
    for (int i = 0; i < b.Counters.Count(); ++i) {
        const CNovelCounter& c = b.Counters[i];
        out += "    " + QuotedPrintable(c.Name) +
               Format(" = %" PRId32 " (min %" PRId32 ", max %" PRId32 "%s)\n", c.Value, c.Min, c.Max,
                      c.Persistent ? ", persistent" : "");
    }

    int used = 0;
    for (const TSpriteSlotRecord& slot : b.Sprites.Slots) used += slot.InUse() ? 1 : 0;
    out += Format("  characters: %d of %d slots in use\n", used, kSpriteSlotCount);
    for (int i = 0; i < kSpriteSlotCount; ++i) {
        const TSpriteSlotRecord& slot = b.Sprites.Slots[static_cast<size_t>(i)];
        if (!slot.InUse()) continue;
        out += Format("    slot %2d  ", i) + QuotedPrintable(slot.Name) + "  " +
               QuotedPrintable(slot.FileName) + Format("  at (%" PRId32 ", %" PRId32 ")\n", slot.X, slot.Y);
    }
}

}  // namespace

int DumpPackage(const std::string& path, int64_t offset)
{
    std::string error;
    const auto source = PackageSource::OpenAt(path, offset, error);
    if (!source) return Fail(error);
    const TReadPackageFile& reader = source->Reader();

    std::string out;
    if (offset == 0) {
        out += "package\n";
    } else {
        out += Format("game: a program image of %" PRId64 " bytes with a package appended\n", offset);
    }
    int64_t total = 0;
    for (int i = 0; i < reader.Count(); ++i) total += reader.GetEntry(i).Size;
    out += Format("entries: %d, data area at file offset %" PRId64 ", %" PRId64 " bytes of entry data\n",
                  reader.Count(), reader.DataStart(), total);
    const int64_t dataEnd = source->FileSize();
    int64_t usedEnd = reader.DataStart();
    for (int i = 0; i < reader.Count(); ++i) {
        const TPackageEntry entry = reader.GetEntry(i);
        usedEnd = std::max<int64_t>(usedEnd, reader.DataStart() + entry.Offset + entry.Size);
    }
    if (usedEnd < dataEnd) out += Format("note: %" PRId64 " bytes after the last entry\n", dataEnd - usedEnd);

    // The player looks names up without regard to letter case and takes the last match,
    // so an earlier entry with the same name is never read.
    std::map<std::string, int> lastIndex;
    for (int i = 0; i < reader.Count(); ++i) lastIndex[UpperCaseAscii(reader.GetEntry(i).Name)] = i;

    out += "      size     offset  name\n";
    for (int i = 0; i < reader.Count(); ++i) {
        const TPackageEntry entry = reader.GetEntry(i);
        out += Format("%10" PRId32 " %10" PRId32 "  ", entry.Size, entry.Offset) + Printable(entry.Name);
        if (IsNovelEntryName(entry.Name)) out += "  (the story, scrambled)";
        const int winner = lastIndex[UpperCaseAscii(entry.Name)];
        if (winner != i) out += Format("  (hidden by entry %d of the same name)", winner + 1);
        out += '\n';
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}

int DumpBookmarks(const std::string& path)
{
    const auto file = ReadWholeFile(path);
    if (!file) return Fail("cannot read " + path);
    TBookmarkList list;
    try {
        list.LoadFromStream(*file);
    } catch (const FormatError& e) {
        return Fail(path + ": " + ForTerminal(e.what()));
    }

    // The header as stored (the player reads past it without comparing).
    MemoryStream header(file->Bytes());
    const std::string magic = header.ReadShortString(kBookmarkMagicCapacity);
    const int32_t version = header.ReadInt32();
    std::string out = "bookmark file: magic " + QuotedPrintable(magic) +
                      Format(", version %" PRId32, version) +
                      Format(", %d bookmark%s\n", list.Count(), list.Count() == 1 ? "" : "s");
    for (int i = 0; i < list.Count(); ++i) DescribeBookmark(out, list[i], i + 1);
    if (file->Remaining() > 0)
        out += Format("note: %" PRId64 " bytes after the last bookmark\n", file->Remaining());
    std::fputs(out.c_str(), stdout);
    return 0;
}

}  // namespace kelva::knovel
