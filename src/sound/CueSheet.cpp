#include "sound/CueSheet.h"

#include <array>
#include <utility>

#include "platform/CdDrive.h"

namespace kelva {
namespace {

constexpr int kMaxTrack = 99;
constexpr int kMaxIndex = 99;

std::string Upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

// A whole number of at most `digits` decimal digits.
std::optional<int> ParseNumber(std::string_view text, size_t digits)
{
    if (text.empty() || text.size() > digits) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Splits a line into words; a word in double quotes may hold spaces. False for an
// unterminated quote.
bool SplitWords(std::string_view line, std::vector<std::string>& words)
{
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos) return false;
            words.emplace_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
        words.emplace_back(line.substr(i, end - i));
        i = end;
    }
    return true;
}

struct TrackMode {
    const char* Name;
    bool Audio;
    int SectorBytes;
};

constexpr std::array kTrackModes = {
    TrackMode{"AUDIO", true, 2352},       TrackMode{"MODE1/2048", false, 2048},
    TrackMode{"MODE1/2352", false, 2352}, TrackMode{"MODE2/2336", false, 2336},
    TrackMode{"MODE2/2352", false, 2352}, TrackMode{"CDI/2336", false, 2336},
    TrackMode{"CDI/2352", false, 2352},
};

struct FileTypeName {
    const char* Name;
    CueFileType Type;
};

constexpr std::array kFileTypes = {
    FileTypeName{"BINARY", CueFileType::Binary}, FileTypeName{"MOTOROLA", CueFileType::Motorola},
    FileTypeName{"WAVE", CueFileType::Wave},     FileTypeName{"MP3", CueFileType::Mp3},
    FileTypeName{"AIFF", CueFileType::Aiff},
};

bool IsSoundFile(CueFileType type)
{
    return type != CueFileType::Binary && type != CueFileType::Motorola;
}

class Parser {
public:
    Parser(const std::string& name, std::string& error) : m_name(name), m_error(error) {}

    std::optional<CueSheet> Run(std::string_view text)
    {
        if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 byte order mark
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            start = end + 1;
            ++m_line;
            if (!Line(line)) return std::nullopt;
        }
        if (!EndTrack() || !EndFile()) return std::nullopt;
        if (m_sheet.Tracks.empty()) {
            m_line = 0;
            Fail("no TRACK");
            return std::nullopt;
        }
        return std::move(m_sheet);
    }

private:
    bool Fail(const std::string& problem)
    {
        m_error = m_name + (m_line > 0 ? ":" + std::to_string(m_line) : std::string()) + ": " + problem;
        return false;
    }

    bool Line(std::string_view line)
    {
        std::vector<std::string> words;
        if (!SplitWords(line, words)) return Fail("unterminated quotation mark");
        if (words.empty()) return true;
        const std::string command = Upper(words[0]);
        if (command == "REM" || command == "CATALOG" || command == "CDTEXTFILE" || command == "FLAGS" ||
            command == "ISRC" || command == "PERFORMER" || command == "SONGWRITER" || command == "TITLE") {
            return true;
        }
        if (command == "FILE") return File(words);
        if (command == "TRACK") return Track(words);
        if (command == "INDEX") return Index(words);
        if (command == "PREGAP" || command == "POSTGAP") return Gap(words, command == "PREGAP");
        return Fail("unknown command \"" + words[0] + "\"");
    }

    bool File(const std::vector<std::string>& words)
    {
        if (words.size() != 3) return Fail("FILE needs a name and a type");
        if (!EndTrack() || !EndFile()) return false;
        const std::string type = Upper(words[2]);
        for (const FileTypeName& known : kFileTypes) {
            if (type == known.Name) {
                if (words[1].empty()) return Fail("FILE with an empty name");
                m_sheet.Files.push_back(CueFile{words[1], known.Type, m_line});
                m_fileHasTracks = false;
                return true;
            }
        }
        return Fail("unknown file type \"" + words[2] + "\"");
    }

    bool Track(const std::vector<std::string>& words)
    {
        if (words.size() != 3) return Fail("TRACK needs a number and a mode");
        if (m_sheet.Files.empty()) return Fail("TRACK before any FILE");
        if (!EndTrack()) return false;
        const int expected = static_cast<int>(m_sheet.Tracks.size()) + 1;
        if (expected > kMaxTrack) return Fail("more than 99 tracks");
        const std::optional<int> number = ParseNumber(words[1], 2);
        if (!number || *number < 1) return Fail("bad track number \"" + words[1] + "\"");
        if (*number != expected) {
            return Fail("track " + std::to_string(*number) + " where track " + std::to_string(expected) +
                        " was expected");
        }
        const std::string mode = Upper(words[2]);
        const TrackMode* found = nullptr;
        for (const TrackMode& known : kTrackModes) {
            if (mode == known.Name) found = &known;
        }
        if (!found) return Fail("unknown track mode \"" + words[2] + "\"");
        const int file = static_cast<int>(m_sheet.Files.size()) - 1;
        if (!found->Audio && IsSoundFile(m_sheet.Files[file].Type)) return Fail("data track in a sound file");

        CueTrack track;
        track.Number = *number;
        track.Audio = found->Audio;
        track.SectorBytes = found->SectorBytes;
        track.File = file;
        track.Line = m_line;
        m_sheet.Tracks.push_back(track);
        m_fileHasTracks = true;
        m_inTrack = true;
        m_lastIndex = -1;
        return true;
    }

    bool Index(const std::vector<std::string>& words)
    {
        if (words.size() != 3) return Fail("INDEX needs a number and a time");
        if (!m_inTrack) return Fail("INDEX outside a TRACK");
        const std::optional<int> number = ParseNumber(words[1], 2);
        if (!number || *number > kMaxIndex) return Fail("bad index number \"" + words[1] + "\"");
        if (*number <= m_lastIndex) return Fail("INDEX " + words[1] + " out of order");
        if (m_lastIndex < 0 && *number > 1) return Fail("INDEX " + words[1] + " before INDEX 01");
        const std::optional<int32_t> time = ParseCueTime(words[2]);
        if (!time) return Fail("bad time \"" + words[2] + "\"");

        CueTrack& track = m_sheet.Tracks.back();
        if (*number == 0) {
            track.Index0 = *time;
        } else if (*number == 1) {
            if (track.Index0 > *time) return Fail("INDEX 01 before INDEX 00");
            track.Index1 = *time;
            track.Index1Line = m_line;
        }
        if (*number <= 1 && !FollowsPreviousTrack(*time, words[2])) return false;
        m_lastIndex = *number;
        return true;
    }

    // Tracks sharing a file must lie in it in order, each at least a sector long.
    bool FollowsPreviousTrack(int32_t time, const std::string& text)
    {
        const size_t count = m_sheet.Tracks.size();
        if (count < 2) return true;
        const CueTrack& previous = m_sheet.Tracks[count - 2];
        if (previous.File != m_sheet.Tracks.back().File || time > previous.Index1) return true;
        return Fail("time " + text + " is not after the start of track " + std::to_string(previous.Number));
    }

    bool Gap(const std::vector<std::string>& words, bool pregap)
    {
        if (words.size() != 2) return Fail(words[0] + " needs a time");
        if (!m_inTrack) return Fail(words[0] + " outside a TRACK");
        const std::optional<int32_t> time = ParseCueTime(words[1]);
        if (!time) return Fail("bad time \"" + words[1] + "\"");
        CueTrack& track = m_sheet.Tracks.back();
        (pregap ? track.Pregap : track.Postgap) = *time;
        return true;
    }

    bool EndTrack()
    {
        if (!m_inTrack) return true;
        m_inTrack = false;
        const CueTrack& track = m_sheet.Tracks.back();
        if (track.Index1 < 0) {
            m_line = track.Line;
            return Fail("track " + std::to_string(track.Number) + " has no INDEX 01");
        }
        return true;
    }

    bool EndFile()
    {
        if (m_sheet.Files.empty() || m_fileHasTracks) return true;
        m_line = m_sheet.Files.back().Line;
        return Fail("FILE \"" + m_sheet.Files.back().Name + "\" has no tracks");
    }

    const std::string& m_name;
    std::string& m_error;
    CueSheet m_sheet;
    int m_line = 0;
    bool m_inTrack = false;
    bool m_fileHasTracks = false;
    int m_lastIndex = -1;
};

}  // namespace

std::optional<int32_t> ParseCueTime(std::string_view text)
{
    const size_t first = text.find(':');
    const size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::optional<int> minutes = ParseNumber(text.substr(0, first), 2);
    const std::optional<int> seconds = ParseNumber(text.substr(first + 1, second - first - 1), 2);
    const std::optional<int> frames = ParseNumber(text.substr(second + 1), 2);
    if (!minutes || !seconds || !frames || *seconds >= 60 || *frames >= kCdSectorsPerSecond)
        return std::nullopt;
    return (*minutes * 60 + *seconds) * kCdSectorsPerSecond + *frames;
}

std::optional<CueSheet> CueSheet::Parse(std::string_view text, const std::string& name, std::string& error)
{
    return Parser(name, error).Run(text);
}

}  // namespace kelva
