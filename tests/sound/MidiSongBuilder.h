// Builds Standard MIDI Files byte by byte for the player's tests, broken ones included.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "data/Stream.h"
#include "sound/MidiDrv.h"

namespace kelva::test {

using Bytes = std::vector<uint8_t>;

inline void Put(Bytes& out, const Bytes& bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

inline void PutBigEndian(Bytes& out, uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline Bytes Vlq(uint32_t value)
{
    Bytes out{static_cast<uint8_t>(value & 0x7F)};
    while (value >>= 7) out.insert(out.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
    return out;
}

// The body of one track chunk.
struct TrackBuilder {
    Bytes body;

    // Delta time and the event's bytes as they stand in the file.
    TrackBuilder& Event(uint32_t delta, std::initializer_list<uint8_t> bytes)
    {
        Put(body, Vlq(delta));
        body.insert(body.end(), bytes);
        return *this;
    }
    TrackBuilder& NoteOn(uint32_t delta, uint8_t channel, uint8_t key)
    {
        return Event(delta, {static_cast<uint8_t>(0x90 | channel), key, 100});
    }
    TrackBuilder& Tempo(uint32_t delta, uint32_t microseconds, int length = 3)
    {
        Put(body, Vlq(delta));
        Put(body, {0xFF, 0x51, static_cast<uint8_t>(length)});
        PutBigEndian(body, microseconds, length);
        return *this;
    }
    // A system-exclusive event (F0 or F7) or a meta event (FF and its type) with its
    // length and data.
    TrackBuilder& Block(uint32_t delta, const Bytes& statusAndType, const Bytes& data)
    {
        Put(body, Vlq(delta));
        Put(body, statusAndType);
        Put(body, Vlq(static_cast<uint32_t>(data.size())));
        Put(body, data);
        return *this;
    }
    TrackBuilder& Raw(const Bytes& bytes)
    {
        Put(body, bytes);
        return *this;
    }
};

inline Bytes Chunk(const char* tag, const Bytes& body, std::optional<uint32_t> statedLength = std::nullopt)
{
    Bytes out(tag, tag + 4);
    PutBigEndian(out, statedLength.value_or(static_cast<uint32_t>(body.size())), 4);
    Put(out, body);
    return out;
}

inline Bytes Header(uint16_t tracks, uint16_t division)
{
    Bytes body;
    PutBigEndian(body, tracks > 1 ? 1 : 0, 2);
    PutBigEndian(body, tracks, 2);
    PutBigEndian(body, division, 2);
    return Chunk("MThd", body);
}

inline Bytes Song(uint16_t division, const std::vector<TrackBuilder>& tracks)
{
    Bytes out = Header(static_cast<uint16_t>(tracks.size()), division);
    for (const TrackBuilder& track : tracks) Put(out, Chunk("MTrk", track.body));
    return out;
}

inline void LoadSong(TMidiDrive& drive, const Bytes& bytes)
{
    MemoryStream stream(bytes);
    drive.LoadFromStream(stream);
}

}  // namespace kelva::test
