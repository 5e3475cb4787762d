// The player's command line. Arguments are read by their first character: "/" a switch,
// "*" the data folder, "=" the bookmark file, anything else the novel file. Arguments
// beginning with "--" are our own long options and never count as a novel file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelva {

struct CommandLine {
    bool DebugMode = false;                   // "/DEBUG"
    bool Only16BitDisplay = false;            // "/16"
    bool SilhouetteMode = false;              // "/SILHOUETTE"
    std::string NovelFile;                    // the last plain argument; empty when none
    std::optional<std::string> DataFolder;    // "*folder"
    std::optional<std::string> BookmarkFile;  // "=file"

    bool Help = false;               // --help
    bool Version = false;            // --version
    std::optional<bool> FullScreen;  // --fullscreen / --window, over the header's choice
    std::string ReplayFile;          // --replay EVENTS
    std::string DumpDir;             // --dump-dir DIR
    std::string TranscriptFile;      // --transcript FILE
    bool Realtime = false;           // --realtime
    std::string SoundFont;           // --soundfont FILE
    std::string CdImage;             // --cd-image FILE.cue
    std::optional<uint32_t> Seed;    // --seed N: the random numbers' seed
    bool Verbose = false;            // --verbose
    std::string Renderer;            // --renderer software|accelerated; empty: chosen
    std::string TextHook;            // --texthook FILE|-: story text as the reader sees it
    int Scale = 1;                   // --scale N: the window N times the stage's size
    bool Smooth = false;             // --smooth: scaled with linear filtering

    std::string Error;  // an unknown or incomplete long option; empty when all is well
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The largest --scale the command line takes; the desktop may allow less.
inline constexpr int kMaxWindowScale = 16;

// The seed of a replay on the virtual clock that names none, so that it draws the same
// numbers on every run.
inline constexpr uint32_t kReplaySeed = 1;

// Fills the settings that are still empty from KELVA_REPLAY, KELVA_DUMP_DIR,
// KELVA_TRANSCRIPT, KELVA_REALTIME=1, KELVA_CD_IMAGE, KELVA_SEED, KELVA_RENDERER and
// KELVA_TEXTHOOK (a
// packaged game ignores its arguments); then gives a replay on the virtual clock without a seed
// kReplaySeed. A KELVA_SEED that is no seed sets Error.
void ApplyReplayEnvironment(CommandLine& line);

// The usage text printed by --help.
std::string UsageText();

}  // namespace kelva
