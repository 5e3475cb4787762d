#include "app/PlayerMain.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>

#include "app/StartupTimes.h"

#include "core/BookmarkBook.h"
#include "core/BookmarkStore.h"
#include "core/GameMenu.h"
#include "core/KelvaNovelRun.h"
#include "core/ReadPages.h"
#include "core/ReaderSettingsStore.h"
#include "core/RunMain.h"
#include "core/ScreenshotKeys.h"
#include "core/StoryBookmarks.h"
#include "core/Transcript.h"
#include "core/VolumeKeys.h"
#include "platform/TextCodec.h"
#include "platform/UserFolders.h"
#include "platform/cdio/CdioDrive.h"
#include "platform/fluidsynth/SystemMidiPorts.h"
#include "platform/freetype/FreeTypeRasteriser.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMessageBox.h"
#include "platform/headless/ReplayStageWindow.h"
#include "platform/linux/DlLibraryLoader.h"
#include "platform/linux/PrivateTemporaryFolder.h"
#include "platform/linux/SteadyClock.h"
#include "platform/linux/SystemLocalTime.h"
#include "platform/sdl/SdlAudioOutput.h"
#include "platform/sdl/SdlMessageBox.h"
#include "platform/sdl/SdlStageWindow.h"
#include "sound/CdDriveList.h"
#include "sound/StageSoundPlayer.h"

namespace kelva {

namespace {

bool HasDisplay()
{
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// A run that names no seed draws other numbers each time.
uint32_t SeedFromTime()
{
    return static_cast<uint32_t>(std::time(nullptr)) ^ std::random_device{}();
}

// The services the player runs on, chosen once: a real display, or headless (a replay,
// or SDL's dummy/offscreen video driver) with recorded messages.
struct PlatformChoice {
    bool Headless = false;
    std::vector<ReplayEvent> Events;
    ManualClock VirtualClock;
    SteadyClock RealClock;
    RecordingMessageBox Recorded;
    SdlMessageBox Boxes;

    Clock& TheClock(const CommandLine& line)
    {
        if (!line.ReplayFile.empty() && !line.Realtime) return VirtualClock;
        return RealClock;
    }
    MessageBox& Messages() { return Headless ? static_cast<MessageBox&>(Recorded) : Boxes; }
};

// Writes a line of the player's log to the terminal.
void LogLine(const std::string& text)
{
    std::fprintf(stderr, "kelvanovelrun: %s\n", text.c_str());
}

// Everything that makes sound, in the order it is set up; torn down the other way round,
// so nothing plays into a part that is already gone.
struct PlayerSound {
    PrivateTemporaryFolder Temporary;
    std::unique_ptr<SdlAudioOutput> Output;
    std::unique_ptr<SystemMidiPorts> Ports;
    std::unique_ptr<MediaFiles> Media;
    std::unique_ptr<StageSoundPlayer> Player;

    // `withDevice` is false for a replay on the virtual clock: no sound device (the mixer
    // just isn't pulled), and the music moves with the replay's clock, not a thread.
    PlayerSound(const CommandLine& line, LoadedGame& game, AudioMixer& mixer, Mp3Library& mp3, Clock& clock,
                MessageBox& messages, bool withDevice)
    {
        if (withDevice) {
            Output =
                std::make_unique<SdlAudioOutput>(mixer, [verbose = line.Verbose](const std::string& text) {
                    if (verbose) LogLine(text);
                });
        }
        const bool verbose = line.Verbose;
        Ports = std::make_unique<SystemMidiPorts>(mixer, line.SoundFont, [verbose](const std::string& text) {
            if (verbose) LogLine(text);
        });
        Media = std::make_unique<MediaFiles>(game.Package.get());
        Media->SetDiskNameConverter([](std::string_view name) { return Cp932ToUtf8(name); });
        std::vector<std::string> problems;
        auto cd =
            std::make_unique<TCDP>(FindCdDrives(line.CdImage, ".", ListCdioDrives, problems), mixer, clock);
        for (const std::string& problem : problems) LogLine(problem);
        const CNovelFileHeader& header = game.Story->Header;
        MusicSettings settings{header.MidiSkipLeadIn, header.MidiGmOn, header.MidiGsReset, header.Title};
        const SoundServices services{*Ports, clock, mixer, mp3, *Media, messages, Temporary};
        Player = std::make_unique<StageSoundPlayer>(services, std::move(cd), settings,
                                                    withDevice ? MidiThread::Start : MidiThread::None);
    }
};

bool LoadReplay(const std::string& path, std::vector<ReplayEvent>& events)
{
    const auto file = ReadWholeFile(path);
    if (!file) {
        std::fprintf(stderr, "kelvanovelrun: cannot read replay file %s\n", path.c_str());
        return false;
    }
    const auto& bytes = file->Bytes();
    ReplayParseResult parsed = ParseReplayScript(std::string(bytes.begin(), bytes.end()));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "kelvanovelrun: %s: %s\n", path.c_str(), parsed.error.c_str());
        return false;
    }
    events = std::move(parsed.events);
    return true;
}

}  // namespace

int RunPlayer(const std::string& programPath, const std::vector<std::string>& args)
{
    StartupTimes times;
    const int64_t packageOffset = FindPackageOffset(programPath);
    CommandLine line;
    if (packageOffset < 0) {
        line = ParseCommandLine(args);
        if (!line.Error.empty()) {
            std::fprintf(stderr, "kelvanovelrun: %s\n%s", line.Error.c_str(), UsageText().c_str());
            return 2;
        }
        if (line.Help) {
            std::fputs(UsageText().c_str(), stdout);
            return 0;
        }
        if (line.Version) {
            std::printf("KelvaNovelRun %s\n", kRuntimeVersion);
            return 0;
        }
    }
    ApplyReplayEnvironment(line);
    if (!line.Error.empty()) {
        std::fprintf(stderr, "kelvanovelrun: %s\n", line.Error.c_str());
        return 2;
    }
    std::optional<RendererChoice> renderer = RendererChoice::Automatic;
    if (!line.Renderer.empty()) renderer = ParseRendererChoice(line.Renderer);
    if (!renderer) {
        std::fprintf(stderr,
                     "kelvanovelrun: --renderer and KELVA_RENDERER take software or accelerated, not %s\n",
                     line.Renderer.c_str());
        return 2;
    }
    const uint32_t seed = line.Seed ? *line.Seed : SeedFromTime();
    // The data folder becomes the current directory at start-up: paths the user gave
    // relative to where the player was started must not move with it.
    for (std::string* path : {&line.DumpDir, &line.TranscriptFile, &line.ReplayFile, &line.SoundFont,
                              &line.CdImage, &line.TextHook}) {
        std::error_code error;
        if (!path->empty() && *path != "-") {
            const std::filesystem::path absolute = std::filesystem::absolute(*path, error);
            if (!error) *path = absolute.string();
        }
    }

    auto platform = std::make_unique<PlatformChoice>();
    if (!line.ReplayFile.empty() && !LoadReplay(line.ReplayFile, platform->Events)) return 2;
    const bool replay = !line.ReplayFile.empty();
    const bool virtualReplay = replay && !line.Realtime;
    if (!std::getenv("SDL_VIDEODRIVER") && !HasDisplay() && !virtualReplay) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (replay) std::fprintf(stderr, "kelvanovelrun: no display found; running headless\n");
    }
    platform->Headless = virtualReplay || SdlVideoIsHeadless();
    Clock& clock = platform->TheClock(line);

    // The one mixer outlives everything that plays into it, the MP3 library included.
    AudioMixer mixer;
    DlLibraryLoader libraries;
    Mp3Library mp3;
    Startup startup(platform->Messages(), libraries, mp3);
    startup.OnPhaseDone([&times](const char* phase) { times.Mark(phase); });
    const std::unique_ptr<LoadedGame> game = startup.Run(programPath, packageOffset, line);
    if (!game) return 1;
    game->Random.Seed(seed);
    if (platform->Headless && !replay) {
        // Without a window and without a replay nobody could read or click anything.
        std::fprintf(
            stderr,
            "kelvanovelrun: no display to show the story on. To play it headless, give the clicks in a "
            "replay file: --replay EVENTS (with --dump-dir FOLDER to save what it shows), or for a "
            "packed game the environment variables KELVA_REPLAY=EVENTS and KELVA_DUMP_DIR=FOLDER\n");
        return 2;
    }

    // A real window when there is a display; a replay (or a run without a display)
    // drives it, or stands in for it, through the replay window.
    std::unique_ptr<StageWindow> shown;
    if (!platform->Headless) {
        std::string error, output;
        shown =
            CreateSdlStageWindow(clock, SdlWindowOptions{*renderer, line.Scale, line.Smooth}, error, output);
        if (!shown) {
            std::fprintf(stderr, "kelvanovelrun: cannot open the stage window: %s\n", error.c_str());
            return 1;
        }
        if (line.Verbose) LogLine("picture output: " + output);
        times.Mark("window");
    }
    std::unique_ptr<StageWindow> replayWindow;
    if (replay || platform->Headless) {
        replayWindow = std::make_unique<ReplayStageWindow>(
            clock, platform->Recorded, std::move(platform->Events), line.DumpDir, shown.get());
    }
    StageWindow& window = replayWindow ? *replayWindow : *shown;
    const std::unique_ptr<FreeTypeRasteriser> fonts = FreeTypeRasteriser::Create();
    if (!fonts) {
        std::fprintf(stderr, "kelvanovelrun: the text rasteriser cannot be started\n");
        return 1;
    }
    times.Mark("fonts");
    Transcript transcript(clock, line.TranscriptFile);
    if (!line.TextHook.empty() && !transcript.OpenTextHook(line.TextHook)) return 2;
    transcript.Event("seed", std::to_string(seed));
    TranscribedMessageBox messages(platform->Messages(), transcript);
    const std::string& bookmarkFile = game->Values.BookmarkFile;
    BookmarkStore bookmarks(ChooseBookmarkLocation(bookmarkFile, FolderWritable(bookmarkFile)), messages);
    if (game->Story->Header.BookmarkMode != 0) bookmarks.Load();
    if (line.Verbose) LogLine(bookmarks.Location().Describe());
    times.Mark("bookmarks");
    // A replay on the virtual clock plays the same whatever this reader's settings say.
    ReaderSettingsStore settings(virtualReplay ? std::string() : ReaderSettingsStore::DefaultPath(), LogLine);
    PlayerSound sound(line, *game, mixer, mp3, clock, messages, !virtualReplay);
    times.Mark("sound");
    // A replay on the virtual clock is no reading of the reader's own: it keeps its pages
    // read in memory, and neither reads nor writes the reader's record.
    ReadPages readPages(virtualReplay ? std::string() : ReadPagesPath(bookmarkFile), LogLine);
    readPages.Load();
    if (line.Verbose && !readPages.Path().empty()) LogLine("pages read: " + readPages.Path());
    TMainForm form(*game, StageServices{window, clock, messages, *sound.Player, *fonts, transcript},
                   settings.Settings(), readPages, line.FullScreen);
    SystemLocalTime localTime;
    StoryBookmarks storyBookmarks(form, *game->Story, bookmarks, localTime, transcript);
    BookmarkBook bookmarkBook(form, *game->Story, storyBookmarks, *fonts, clock, transcript);
    GameMenu gameMenu(form, game->Story->Header, bookmarkBook, *fonts, window);
    sound.Player->SetMessagePump([&form] { return form.Loop().RunPending(); });
    VolumeKeys volumeKeys(mixer, settings, form.Presenter(), clock, *fonts);
    const std::string pictures = UserFolder(UserFolderKind::Pictures);
    ScreenshotKeys screenshots(
        form.Presenter(), window, clock, localTime, pictures.empty() ? pictures : pictures + "/kelvanovelrun",
        std::filesystem::path(bookmarkFile).stem().string(), game->Story->Header.Title);
    form.AddReaderTool(volumeKeys);
    form.AddReaderTool(screenshots);
    times.Mark("stage");
    if (line.Verbose) LogLine(times.Line());
    form.Run();
    return 0;
}

}  // namespace kelva
