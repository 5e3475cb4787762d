// The player's command line. Arguments are read by their first character: "/" a switch,
// "*" the data folder, "=" the bookmark file, anything else the novel file. Arguments
// beginning with "--" are our own long options and never count as a novel file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelva {

struct CommandLine {
    bool DebugMode = false;  // "/DEBUG"
    bool Only16BitDisplay = false;  // "/16"
    bool SilhouetteMode = false;  // "/SILHOUETTE"
    std::string NovelFile;  // the last plain argument; empty when none
    std::optional<std::string> DataFolder;  // "*folder"
    std::optional<std::string> BookmarkFile;  // "=file"

    bool Help = false;  // --help
    bool Version = false;  // --version
    std::optional<bool> FullScreen;  // --fullscreen / --window, over the header's choice
    std::string ReplayFile;  // --replay EVENTS
    std::string DumpDir;  // --dump-dir DIR
    std::string TranscriptFile;  // --transcript FILE
    bool Realtime = false;  // --realtime
    std::string SoundFont;  // --soundfont FILE
    std::string CdImage;  // --cd-image FILE.cue
    bool Verbose = false;  // --verbose

    std::string Error;  // an unknown or incomplete long option; empty when all is well
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Fills the settings that are still empty from KELVA_REPLAY, KELVA_DUMP_DIR,
// KELVA_TRANSCRIPT, KELVA_REALTIME=1 and KELVA_CD_IMAGE: a packaged game ignores its
// arguments.
void ApplyReplayEnvironment(CommandLine& line);

// The usage text printed by --help.
std::string UsageText();

}  // namespace kelva
