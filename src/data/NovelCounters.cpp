#include "data/NovelCounters.h"

#include <algorithm>

namespace kelva {

int CNovelCounters::IndexOf(std::string_view name) const
{
    // Scans every record: a name stored twice resolves to the later counter.
    int found = -1;
    for (size_t i = 0; i < m_counters.size(); ++i) {
        if (m_counters[i].Name == name) found = static_cast<int>(i);
    }
    return found;
}

bool CNovelCounters::Add(CNovelCounter counter)
{
    if (Count() >= kMaxCounters) return false;
    m_counters.push_back(std::move(counter));
    return true;
}

void CNovelCounters::LoadFromStream(Stream& stream)
{
    stream.ReadInt32();  // format tag; every known writer wrote 2
    const int32_t count = stream.ReadInt32();
    if (count < 0) {
        throw FormatError("カウンタ数 " + std::to_string(count) + " が負の値です。");
    }
    if (count > kMaxCounters) {
        throw FormatError("カウンタ数 " + std::to_string(count) + " が上限 256 を超えています。");
    }
    // Read into a fresh list so a broken block leaves the current table as it was.
    std::vector<CNovelCounter> counters(static_cast<size_t>(count));
    for (CNovelCounter& counter : counters) {
        counter.Name = stream.ReadCountedString();
        counter.Value = stream.ReadInt32();
        counter.Min = stream.ReadInt32();
        counter.Max = stream.ReadInt32();
        counter.Persistent = stream.ReadBool();
    }
    m_counters = std::move(counters);
}

void CNovelCounters::SaveToStream(Stream& stream) const
{
    stream.WriteInt32(kFormatTag);
    stream.WriteInt32(Count());
    for (const CNovelCounter& counter : m_counters) {
        stream.WriteCountedString(counter.Name);
        stream.WriteInt32(counter.Value);
        stream.WriteInt32(counter.Min);
        stream.WriteInt32(counter.Max);
        stream.WriteBool(counter.Persistent);
    }
}

void CNovelCounters::ResetNonPersistent(const CNovelCounters& initial)
{
    // Bounded by both tables: a working set of another length can't be overrun.
    const size_t common = std::min(m_counters.size(), initial.m_counters.size());
    for (size_t i = 0; i < common; ++i) {
        if (!initial.m_counters[i].Persistent) m_counters[i] = initial.m_counters[i];
    }
}

void CNovelCounters::RestoreFromBookmark(const CNovelCounters& initial, const CNovelCounters& bookmark)
{
    Assign(initial);
    for (const CNovelCounter& saved : bookmark.m_counters) {
        const int index = IndexOf(saved.Name);
        if (index >= 0) m_counters[static_cast<size_t>(index)] = saved;
    }
}

namespace {

void Limit(CNovelCounter& counter)
{
    if (counter.Value > counter.Max) counter.Value = counter.Max;
    if (counter.Value < counter.Min) counter.Value = counter.Min;
}

int32_t WrappingAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// lo + r for r drawn from 0 to hi - lo. The span is computed in 64 bits: for the widest
// bounds it is 2^32 - 1, which still fits the generator's 32-bit limit.
int32_t DrawBetween(int32_t a, int32_t b, Random& random)
{
    const int64_t lo = std::min(a, b);
    const int64_t hi = std::max(a, b);
    const auto r = random.NextUpTo(static_cast<uint32_t>(hi - lo));
    return static_cast<int32_t>(lo + r);
}

}  // namespace

void CounterSet(CNovelCounter& counter, int32_t value)
{
    counter.Value = value;
    Limit(counter);
}

void CounterAdd(CNovelCounter& counter, int32_t delta)
{
    counter.Value = WrappingAdd(counter.Value, delta);
    Limit(counter);
}

void CounterRandomSet(CNovelCounter& counter, int32_t a, int32_t b, Random& random)
{
    counter.Value = DrawBetween(a, b, random);
    Limit(counter);
}

void CounterRandomAdd(CNovelCounter& counter, int32_t a, int32_t b, Random& random)
{
    counter.Value = WrappingAdd(counter.Value, DrawBetween(a, b, random));
    Limit(counter);
}

std::string CounterCommandCaption(CounterCommand command)
{
    switch (command) {
        case CounterCommand::Set:
            return ".CounterSet エラー";
        case CounterCommand::Plus:
            return ".CounterPlus エラー";
        case CounterCommand::RndSet:
            return ".CounterRndSet エラー";
        case CounterCommand::RndPlus:
            return ".CounterRndPlus エラー";
    }
    return {};
}

std::string MissingCounterMessage(std::string_view name)
{
    return "\"" + std::string(name) + "\"というカウンタは存在しません.";
}

}  // namespace kelva
