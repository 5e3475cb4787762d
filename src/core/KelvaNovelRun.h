// The player's start-up: where the story comes from (a package appended to the program
// file, or a novel file on disk), the start-up values, loading the novel file, the
// version check and the story font. Every failure is shown in a message box and ends
// start-up before any window opens.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/CommandLine.h"
#include "data/NovelCounters.h"
#include "data/NovelData.h"
#include "data/PackageFile2.h"
#include "data/Random.h"
#include "data/Stream.h"
#include "graphics/FontSpec.h"
#include "platform/LibraryLoader.h"
#include "platform/MessageBox.h"
#include "sound/Vbmp3.h"

namespace kelva {

inline constexpr const char* kRuntimeVersion = "R.9.2";
inline constexpr const char* kRuntimeCaption = "Kelva! Novel Runtime";
// Name of the novel file inside a package; stored scrambled.
inline constexpr const char* kNovelEntryName = "autorun.kne";

// Values decided at start-up and kept for the whole run.
struct StartupValues {
    std::string NovelFileName;  // empty in package mode
    std::string DataFolder;     // made the current directory
    std::string BookmarkFile;   // file name part lower-cased
    bool DebugMode = false;
    bool Only16BitDisplay = false;
    bool SilhouetteMode = false;
};

// The story as loaded: header, items, the initial counters from the file and the
// working counters the story changes.
struct NovelStory {
    CNovelFileHeader Header;
    CNovelItems Items;
    CNovelCounters InitialCounters;
    CNovelCounters Counters;
};

// Everything start-up hands to the stage window. Members are destroyed in reverse
// order, so the package reader goes before the program file stream it reads.
struct LoadedGame {
    StartupValues Values;
    std::unique_ptr<Stream> ProgramStream;
    std::unique_ptr<TReadPackageFile> Package;
    std::unique_ptr<NovelStory> Story;
    FontSpec StoryFont;
    FontSpec SpareFont;
    // The player's one random generator. The player seeds it once per run; until then,
    // and in tests, it draws the numbers of a replay.
    MersenneRandom Random{kReplaySeed};
};

// Replaces the extension of the file name part (or appends one) and lower-cases the
// file name part only: lower-casing the folders would point at another folder on a
// case-sensitive file system.
std::string BookmarkFileFor(const std::string& path);

class Startup {
public:
    Startup(MessageBox& messages, LibraryLoader& libraries, Mp3Library& mp3)
        : m_messages(messages), m_libraries(libraries), m_mp3(mp3)
    {
    }

    // `packageOffset` is FindPackageOffset's answer for `programPath` (−1: no package,
    // and then `line` counts). Returns nullptr after the message that stopped start-up.
    std::unique_ptr<LoadedGame> Run(const std::string& programPath, int64_t packageOffset,
                                    const CommandLine& line);
    // Called as each phase of Run ends ("read package", "MP3 library", "novel file"), for
    // the start-up timings.
    void OnPhaseDone(std::function<void(const char* phase)> done) { m_phaseDone = std::move(done); }

private:
    bool OpenPackage(LoadedGame& game, const std::string& programPath, int64_t packageOffset);
    void ApplyCommandLine(LoadedGame& game, const std::string& programPath, const CommandLine& line);
    std::unique_ptr<Stream> OpenNovelStream(LoadedGame& game);
    bool LoadStory(LoadedGame& game, Stream& novel);
    void Fail(const std::string& text);

    MessageBox& m_messages;
    LibraryLoader& m_libraries;
    Mp3Library& m_mp3;
    std::function<void(const char*)> m_phaseDone = [](const char*) {};
};

}  // namespace kelva
