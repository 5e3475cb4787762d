#include "data/NovelData.h"

#include "data/TextLines.h"

namespace kelva {

namespace {

constexpr int kNameField = 255;   // string[255]
constexpr int kEffectField = 32;  // string[32]

uint32_t ReadColour(Stream& stream)
{
    return static_cast<uint32_t>(stream.ReadInt32());
}
void WriteColour(Stream& stream, uint32_t colour)
{
    stream.WriteInt32(static_cast<int32_t>(colour));
}

}  // namespace

void CNovelFileHeader::LoadFromStream(Stream& stream)
{
    // Read into a fresh record: it starts with every default, which is what an older
    // version leaves in the fields it lacks, and a truncated header changes nothing.
    CNovelFileHeader h;
    h.Magic = stream.ReadShortString(kEffectField);
    h.Version = stream.ReadInt32();
    h.Unused37 = stream.ReadInt32();
    h.Unused41 = stream.ReadInt32();
    h.StartItem = stream.ReadShortString(kNameField);
    h.LogoPicture = stream.ReadShortString(kNameField);
    h.TitlePicture = stream.ReadShortString(kNameField);
    h.TitleMusic = stream.ReadShortString(kNameField);
    h.Unused1069 = stream.ReadShortString(kNameField);
    h.Unused1325 = stream.ReadInt32();
    h.Unused1329 = stream.ReadShortString(kNameField);
    h.Unused1585 = stream.ReadUInt8();

    // The version groups: files of versions 3 and 5 have the layout of 2 and 4.
    if (h.Version > 1) {
        h.Title = stream.ReadShortString(kNameField);
        h.LogoMusic = stream.ReadShortString(kNameField);
        h.Unused2098 = stream.ReadShortString(kNameField);
        h.FrameInterval = stream.ReadInt32();
        h.Unused2358 = stream.ReadInt32();
        h.BgEffectParam = stream.ReadInt32();
        h.BgEffectTime = stream.ReadInt32();
        h.BookmarkMode = stream.ReadUInt8();
        h.Unused2371 = stream.ReadUInt8();
        h.FontKind = stream.ReadInt32();
        h.FontHeight = stream.ReadInt32();
        h.TextEdgeStyle = stream.ReadInt32();
        h.SmoothText = stream.ReadBool();
        h.TextColor = ReadColour(stream);
        h.EdgeColor = ReadColour(stream);
        h.ChoiceBoxColor = ReadColour(stream);
        h.Unused2397 = ReadColour(stream);
    }
    if (h.Version > 3) {
        h.BgEffect = stream.ReadShortString(kEffectField);
        h.CharEffect = stream.ReadShortString(kEffectField);
        h.CharEffectParam = stream.ReadInt32();
        h.CharEffectTime = stream.ReadInt32();
        h.StartWindowed = stream.ReadBool();
        h.DisplayModeChoice = stream.ReadBool();
        h.Only16BitColour = stream.ReadBool();
        h.MidiSkipLeadIn = stream.ReadBool();
        h.MidiGmOn = stream.ReadBool();
        h.MidiGsReset = stream.ReadBool();
    }
    if (h.Version > 5) h.SkipMode = stream.ReadUInt8();
    if (h.Version > 6) h.UsesMp3 = stream.ReadBool();
    *this = std::move(h);
}

void CNovelFileHeader::SaveToStream(Stream& stream) const
{
    stream.WriteShortString(Magic, kEffectField);
    stream.WriteInt32(kNovelFileVersion);
    stream.WriteInt32(Unused37);
    stream.WriteInt32(Unused41);
    stream.WriteShortString(StartItem, kNameField);
    stream.WriteShortString(LogoPicture, kNameField);
    stream.WriteShortString(TitlePicture, kNameField);
    stream.WriteShortString(TitleMusic, kNameField);
    stream.WriteShortString(Unused1069, kNameField);
    stream.WriteInt32(Unused1325);
    stream.WriteShortString(Unused1329, kNameField);
    stream.WriteUInt8(Unused1585);

    stream.WriteShortString(Title, kNameField);
    stream.WriteShortString(LogoMusic, kNameField);
    stream.WriteShortString(Unused2098, kNameField);
    stream.WriteInt32(FrameInterval);
    stream.WriteInt32(Unused2358);
    stream.WriteInt32(BgEffectParam);
    stream.WriteInt32(BgEffectTime);
    stream.WriteUInt8(BookmarkMode);
    stream.WriteUInt8(Unused2371);
    stream.WriteInt32(FontKind);
    stream.WriteInt32(FontHeight);
    stream.WriteInt32(TextEdgeStyle);
    stream.WriteBool(SmoothText);
    WriteColour(stream, TextColor);
    WriteColour(stream, EdgeColor);
    WriteColour(stream, ChoiceBoxColor);
    WriteColour(stream, Unused2397);

    stream.WriteShortString(BgEffect, kEffectField);
    stream.WriteShortString(CharEffect, kEffectField);
    stream.WriteInt32(CharEffectParam);
    stream.WriteInt32(CharEffectTime);
    stream.WriteBool(StartWindowed);
    stream.WriteBool(DisplayModeChoice);
    stream.WriteBool(Only16BitColour);
    stream.WriteBool(MidiSkipLeadIn);
    stream.WriteBool(MidiGmOn);
    stream.WriteBool(MidiGsReset);

    stream.WriteUInt8(SkipMode);
    stream.WriteBool(UsesMp3);
}

void CNovelItems::LoadFromStream(Stream& stream)
{
    const int32_t count = stream.ReadInt32();
    if (count < 0) {
        throw FormatError("アイテム数 " + std::to_string(count) + " が負の値です。");
    }
    if (count > kMaxItems) {
        throw FormatError("アイテム数 " + std::to_string(count) + " が上限 2048 を超えています。");
    }
    // Read into a fresh list so a broken block leaves the current items as they were.
    std::vector<CNovelItem> items(static_cast<size_t>(count));
    for (CNovelItem& item : items) {
        item.Name = stream.ReadCountedString();
        item.EditorX = stream.ReadInt32();
        item.EditorY = stream.ReadInt32();
        item.Lines = SplitLines(stream.ReadCountedString());
        item.Kind = stream.ReadUInt8();
        for (CNovelLink& link : item.Links) {
            link.Enabled = stream.ReadBool();
            link.Caption = stream.ReadCountedString();
            link.Target = stream.ReadCountedString();
            link.Conditional = stream.ReadBool();
            link.Counter = stream.ReadCountedString();
            link.Threshold = stream.ReadInt32();
        }
    }
    m_items = std::move(items);
}

void CNovelItems::SaveToStream(Stream& stream) const
{
    stream.WriteInt32(Count());
    for (const CNovelItem& item : m_items) {
        stream.WriteCountedString(item.Name);
        stream.WriteInt32(item.EditorX);
        stream.WriteInt32(item.EditorY);
        stream.WriteCountedString(JoinLines(item.Lines));
        stream.WriteUInt8(item.Kind);
        for (const CNovelLink& link : item.Links) {
            stream.WriteBool(link.Enabled);
            stream.WriteCountedString(link.Caption);
            stream.WriteCountedString(link.Target);
            stream.WriteBool(link.Conditional);
            stream.WriteCountedString(link.Counter);
            stream.WriteInt32(link.Threshold);
        }
    }
}

int CNovelItems::IndexOf(std::string_view name) const
{
    // Scans every item: a name used twice resolves to the later item.
    int found = -1;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].Name == name) found = static_cast<int>(i);
    }
    return found;
}

CNovelItem* CNovelItems::Add()
{
    if (Count() >= kMaxItems) return nullptr;
    return &m_items.emplace_back();
}

bool LinkHolds(const CNovelLink& link, const CNovelCounters& counters)
{
    if (!link.Enabled) return false;
    if (!link.Conditional) return true;
    const int index = counters.IndexOf(link.Counter);
    return index >= 0 && counters[index].Value >= link.Threshold;
}

std::vector<uint8_t> NovelFileBytes(const CNovelFileHeader& header, const CNovelCounters& counters,
                                    const CNovelItems& items)
{
    MemoryStream stream;
    header.SaveToStream(stream);
    counters.SaveToStream(stream);
    items.SaveToStream(stream);
    return stream.TakeBytes();
}

}  // namespace kelva
