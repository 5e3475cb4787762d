// Laying out the disc a folder of ripped tracks stands for.
#include <array>
#include <filesystem>

#include "data/ShiftJis.h"
#include "sound/DiscImage.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxTrack = 99;
// A track without a file stands for the game's data: a data track of the shortest length
// a disc allows, so the tracks after it keep their numbers.
constexpr int32_t kMissingTrackSectors = 4 * kCdSectorsPerSecond;

// The track number of a name such as "Track07.OGG" or "track7.wav"; 0 for other names.
int TrackNumber(const std::string& name)
{
    const std::string lower = LowerCaseAscii(name);
    const size_t dot = lower.rfind('.');
    if (lower.rfind("track", 0) != 0 || dot == std::string::npos) return 0;
    const std::string digits = lower.substr(5, dot - 5);
    const std::string extension = lower.substr(dot + 1);
    if (digits.empty() || digits.size() > 2 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    if (extension != "wav" && extension != "flac" && extension != "ogg" && extension != "mp3") return 0;
    const int number = std::stoi(digits);
    return number <= kMaxTrack ? number : 0;
}

}  // namespace

std::unique_ptr<DiscImage> DiscImage::FromTrackFolder(const std::string& folder, std::string& error)
{
    std::array<std::string, kMaxTrack + 1> found;  // file names by track number
    int last = 0;
    std::error_code failure;
    for (fs::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure)) {
        const std::string name = it->path().filename().string();
        const int number = TrackNumber(name);
        if (number == 0 || !it->is_regular_file(failure)) continue;
        // "track1.ogg" beside "track01.wav": the same track; take one, the same one every time.
        if (found[number].empty() || name < found[number]) found[number] = name;
        last = std::max(last, number);
    }
    if (failure) {
        error = folder + ": cannot be read: " + failure.message();
        return nullptr;
    }
    if (last == 0) {
        error = folder + ": holds no tracks (track02.ogg and so on)";
        return nullptr;
    }

    std::unique_ptr<DiscImage> disc(new DiscImage);
    for (int number = 1; number <= last; ++number) {
        if (found[number].empty()) {
            disc->StartTrack(false);
            disc->AddSilence(kMissingTrackSectors);
            continue;
        }
        std::optional<SourceFile> source = SoundSource((fs::path(folder) / found[number]).string(), error);
        if (!source) return nullptr;
        const int64_t sectors =
            std::max<int64_t>(1, (source->DataBytes + kCdSectorBytes - 1) / kCdSectorBytes);
        if (sectors > kMaxSectors) {
            error = source->Path + ": far too long for a CD track";
            return nullptr;
        }
        const int file = disc->AddFile(std::move(*source));
        disc->StartTrack(true);
        disc->AddPiece(file, 0, static_cast<int32_t>(sectors), kCdSectorBytes, true);
    }
    if (!disc->Finish()) {
        error = folder + ": the tracks together are longer than 24 hours";
        return nullptr;
    }
    return disc;
}

}  // namespace kelva
