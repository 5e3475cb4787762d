// The story's counters: named 32-bit integers with a range each. The player keeps several
// tables of the same class (initial set, working set, page snapshot, one per bookmark).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/Random.h"
#include "data/Stream.h"

namespace kelva {

struct CNovelCounter {
    std::string Name;  // CP932; compared byte for byte
    int32_t Value = 0;
    int32_t Min = 0;          // the counter commands never leave the value below Min ...
    int32_t Max = 0;          // ... nor above Max (Min wins when Min > Max)
    bool Persistent = false;  // kept by a partial reset
};

// Stream format: int32 tag (2 as written, ignored on reading), int32 count, then per
// counter: counted string Name, int32 Value, Min, Max, one byte Persistent.
class CNovelCounters {
public:
    static constexpr int kMaxCounters = 256;
    static constexpr int32_t kFormatTag = 2;

    // Index of the LAST counter named exactly `name`, or -1.
    int IndexOf(std::string_view name) const;
    void Clear() { m_counters.clear(); }
    void Assign(const CNovelCounters& source) { m_counters = source.m_counters; }
    // Appends a counter (the authoring tool); false when the table already holds 256.
    bool Add(CNovelCounter counter);

    // Replaces the table with the one in the stream. Throws FormatError for a count that is
    // negative or above 256, a negative name length, or a stream that ends inside the
    // block; the table is unchanged then.
    void LoadFromStream(Stream& stream);
    void SaveToStream(Stream& stream) const;

    int Count() const { return static_cast<int>(m_counters.size()); }
    // Access by index, 0 to Count()-1; a bad index throws std::out_of_range.
    CNovelCounter& operator[](int index) { return m_counters.at(static_cast<size_t>(index)); }
    const CNovelCounter& operator[](int index) const { return m_counters.at(static_cast<size_t>(index)); }

    // Partial reset: every counter that is not Persistent in `initial` gets its initial
    // record back; the tables are matched by index (the working set is a copy of the
    // initial one). Persistent counters keep their values.
    void ResetNonPersistent(const CNovelCounters& initial);
    // Restoring a bookmark: a full reset to `initial`, then each counter of `bookmark`
    // whose name still exists is copied whole (Value, Min, Max, Persistent) over it.
    // Counters the bookmark lacks keep their initial values; names that no longer exist
    // are ignored.
    void RestoreFromBookmark(const CNovelCounters& initial, const CNovelCounters& bookmark);

private:
    std::vector<CNovelCounter> m_counters;
};

// The value operations of the counter commands. Each one ends by limiting the value:
// above Max it becomes Max, then below Min it becomes Min.
void CounterSet(CNovelCounter& counter, int32_t value);
// Adds with 32-bit wraparound, then limits.
void CounterAdd(CNovelCounter& counter, int32_t delta);
// A value drawn uniformly between a and b, both included, in either order.
void CounterRandomSet(CNovelCounter& counter, int32_t a, int32_t b, Random& random);
// Adds a value drawn as for CounterRandomSet (32-bit wraparound), then limits.
void CounterRandomAdd(CNovelCounter& counter, int32_t a, int32_t b, Random& random);

enum class CounterCommand { Set, Plus, RndSet, RndPlus };

// Caption of the error box of a counter command, e.g. ".CounterSet エラー".
std::string CounterCommandCaption(CounterCommand command);
// Text of the error box when a counter command names a counter that does not exist.
std::string MissingCounterMessage(std::string_view name);

}  // namespace kelva
