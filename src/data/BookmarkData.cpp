#include "data/BookmarkData.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace kelva {

namespace {

constexpr int64_t kMillisecondsPerDay = 86'400'000;

// Days from 1970-01-01 to the given proleptic Gregorian date.
constexpr int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, TLocalDateTime& out)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    out.Day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    out.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    out.Year = static_cast<int>(yearOfEra + era * 400 + (out.Month <= 2));
}

constexpr int64_t kEpochDays = DaysFromCivil(1899, 12, 30);
constexpr int64_t kFirstDay = DaysFromCivil(1, 1, 1) - kEpochDays;      // -693593
constexpr int64_t kLastDay = DaysFromCivil(9999, 12, 31) - kEpochDays;  // 2958465

std::string TwoDigits(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

void WriteDouble(Stream& stream, double value)
{
    const auto bits = std::bit_cast<uint64_t>(value);
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    stream.WriteExact(bytes, sizeof bytes);
}

double ReadDouble(Stream& stream)
{
    uint8_t bytes[8];
    stream.ReadExact(bytes, sizeof bytes);
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

}  // namespace

double EncodeSavedDate(const TLocalDateTime& time)
{
    const double days = static_cast<double>(DaysFromCivil(time.Year, time.Month, time.Day) - kEpochDays);
    const double fraction = (time.Hour * 3600.0 + time.Minute * 60.0 + time.Second) / 86400.0;
    return days < 0 ? days - fraction : days + fraction;
}

std::optional<TLocalDateTime> DecodeSavedDate(double saved)
{
    if (!std::isfinite(saved) || saved <= static_cast<double>(kFirstDay - 1) ||
        saved >= static_cast<double>(kLastDay + 1)) {
        return std::nullopt;
    }
    const double whole = std::trunc(saved);
    int64_t day = static_cast<int64_t>(whole);
    int64_t milliseconds = std::llround(std::fabs(saved - whole) * kMillisecondsPerDay);
    if (milliseconds >= kMillisecondsPerDay) {  // within half a millisecond of midnight: the next day
        milliseconds -= kMillisecondsPerDay;
        ++day;
    }
    if (day < kFirstDay || day > kLastDay) return std::nullopt;

    TLocalDateTime result;
    CivilFromDays(day + kEpochDays, result);
    const int64_t seconds = milliseconds / 1000;
    result.Hour = static_cast<int>(seconds / 3600);
    result.Minute = static_cast<int>(seconds / 60 % 60);
    result.Second = static_cast<int>(seconds % 60);
    return result;
}

std::string BookmarkDateText(double saved)
{
    const auto time = DecodeSavedDate(saved);
    if (!time) return {};
    return std::to_string(time->Year) + "/" + std::to_string(time->Month) + "/" + std::to_string(time->Day) +
           " " + std::to_string(time->Hour) + ":" + TwoDigits(time->Minute) + "." + TwoDigits(time->Second);
}

std::string BookmarkLabel(int32_t playNumber, int32_t page)
{
    if (page < 0) return std::to_string(playNumber) + "回目 クリア";
    return std::to_string(playNumber) + "回目 " + std::to_string(page) + "ページ";
}

void TBookmarkData::UpdateTexts()
{
    Label = BookmarkLabel(PlayNumber, Page);
    DateText = BookmarkDateText(Saved);
}

void TBookmarkData::LoadFromStream(Stream& stream)
{
    // Read into a fresh record so a broken one leaves this bookmark as it was.
    TBookmarkData record;
    record.Version = stream.ReadInt16();
    record.ItemName = stream.ReadShortString(kBookmarkItemNameCapacity);
    record.Position.Character = stream.ReadInt32();
    record.Position.Line = stream.ReadInt32();
    record.Counters.LoadFromStream(stream);
    record.Background = stream.ReadShortString(kBookmarkTextCapacity);
    record.Music = stream.ReadShortString(kBookmarkTextCapacity);
    record.Sound = stream.ReadShortString(kBookmarkTextCapacity);
    record.Sprites.LoadFromStream(stream);
    record.Saved = ReadDouble(stream);
    record.Label = stream.ReadShortString(kBookmarkTextCapacity);
    record.DateText = stream.ReadShortString(kBookmarkTextCapacity);
    record.PlayNumber = stream.ReadInt32();
    record.Page = stream.ReadInt32();
    // Version 2 added a counted string that no version ever filled; its length is still
    // bounded by what is left of the stream.
    if (record.Version >= 2) stream.ReadCountedString();
    if (record.Version >= 3) record.CdTrack = stream.ReadInt32();
    *this = std::move(record);
}

void TBookmarkData::SaveToStream(Stream& stream)
{
    Version = kBookmarkVersion;
    // Everything goes to memory first: a record is written whole or not at all.
    MemoryStream out;
    out.WriteInt16(Version);
    out.WriteShortString(ItemName, kBookmarkItemNameCapacity);
    out.WriteInt32(Position.Character);
    out.WriteInt32(Position.Line);
    Counters.SaveToStream(out);
    out.WriteShortString(Background, kBookmarkTextCapacity);
    out.WriteShortString(Music, kBookmarkTextCapacity);
    out.WriteShortString(Sound, kBookmarkTextCapacity);
    Sprites.SaveToStream(out);
    WriteDouble(out, Saved);
    out.WriteShortString(Label, kBookmarkTextCapacity);
    out.WriteShortString(DateText, kBookmarkTextCapacity);
    out.WriteInt32(PlayNumber);
    out.WriteInt32(Page);
    out.WriteCountedString({});
    out.WriteInt32(CdTrack);
    stream.WriteExact(out.Bytes().data(), out.Bytes().size());
}

TBookmarkData* TBookmarkList::Add()
{
    if (IsFull()) return nullptr;
    m_items.push_back(std::make_unique<TBookmarkData>());
    return m_items.back().get();
}

void TBookmarkList::Delete(int index)
{
    if (index < 0 || index >= Count()) return;
    m_items.erase(m_items.begin() + index);
}

TBookmarkData* TBookmarkList::RecordSlot(int index)
{
    if (index == Count()) return Add();
    if (index < 0 || index > Count()) return nullptr;
    return m_items[static_cast<size_t>(index)].get();
}

void TBookmarkList::LoadFromStream(Stream& stream)
{
    // Neither the magic nor the list version is compared: every version of the file has
    // the same header, and the records carry their own versions.
    uint8_t header[kBookmarkMagicCapacity + 1 + 4];
    stream.ReadExact(header, sizeof header);
    const int32_t count = stream.ReadInt32();
    if (count < 0) {
        throw FormatError("しおりの数 " + std::to_string(count) + " が負の値です。");
    }
    if (count > kMaxBookmarks) {
        throw FormatError("しおりの数 " + std::to_string(count) + " が上限 " + std::to_string(kMaxBookmarks) +
                          " を超えています。");
    }
    std::vector<std::unique_ptr<TBookmarkData>> items;
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<TBookmarkData>();
        try {
            item->LoadFromStream(stream);
        } catch (const FormatError& error) {
            throw FormatError("しおり " + std::to_string(i + 1) + " が壊れています：" + error.what());
        }
        items.push_back(std::move(item));
    }
    m_items = std::move(items);
}

std::string TBookmarkList::LoadReadable(Stream& stream)
{
    Clear();
    std::string problem;
    int32_t count = 0;
    try {
        uint8_t header[kBookmarkMagicCapacity + 1 + 4];
        stream.ReadExact(header, sizeof header);
        count = stream.ReadInt32();
    } catch (const FormatError&) {
        return "ファイルの見出しが途中で切れています。";
    }
    if (count < 0) return "しおりの数 " + std::to_string(count) + " が負の値です。";
    if (count > kMaxBookmarks) {
        problem = "しおりが " + std::to_string(count) + " 個あると書かれていますが、最初の " +
                  std::to_string(kMaxBookmarks) + " 個だけを使います。";
        count = kMaxBookmarks;
    }
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<TBookmarkData>();
        try {
            item->LoadFromStream(stream);
        } catch (const FormatError& error) {
            return "しおり " + std::to_string(i + 1) + " から先が壊れています：" + error.what();
        }
        m_items.push_back(std::move(item));
    }
    return problem;
}

void TBookmarkList::SaveToStream(Stream& stream)
{
    MemoryStream out;
    // The magic is a string[32] whose unused bytes are spaces, not zeros.
    std::string magic(kBookmarkMagicCapacity + 1, ' ');
    magic[0] = static_cast<char>(kBookmarkMagic.size());
    std::memcpy(magic.data() + 1, kBookmarkMagic.data(), kBookmarkMagic.size());
    out.WriteExact(magic.data(), magic.size());
    out.WriteInt32(kBookmarkVersion);
    out.WriteInt32(Count());
    for (const auto& item : m_items) item->SaveToStream(out);
    stream.WriteExact(out.Bytes().data(), out.Bytes().size());
}

}  // namespace kelva
