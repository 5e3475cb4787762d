#include "core/CommandLine.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>

#include "core/KeyHelp.h"
#include "data/ShiftJis.h"

namespace kelva {

namespace {

// The rest of a "*" or "=" argument, at most 255 bytes as the fixed-size fields allow.
std::string Rest(const std::string& arg)
{
    return arg.substr(1, 255);
}

// Switches begin with "/", and so do absolute paths here. A "/" argument that names a
// folder or has an extension ("/home/me/story.kne", "/story.kne"), or that names something
// that exists ("/story"), is a path; any other bare word ("/DEBUG", "/WHATEVER") is a switch.
bool IsAbsolutePath(const std::string& arg)
{
    std::error_code error;
    return arg.find('/', 1) != std::string::npos || arg.find('.') != std::string::npos ||
           std::filesystem::exists(arg, error);
}

// A seed is a decimal number that fits 32 bits, nothing else.
std::optional<uint32_t> ParseSeed(const std::string& text)
{
    uint32_t seed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seed);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return seed;
}

const char* const kSeedError = " takes a number from 0 to 4294967295";

// A window scale is a whole number from 1 to kMaxWindowScale.
std::optional<int> ParseScale(const std::string& text)
{
    int scale = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, scale);
    if (error != std::errc() || stop != end || scale < 1 || scale > kMaxWindowScale) return std::nullopt;
    return scale;
}

bool TakeLongOption(CommandLine& line, const std::vector<std::string>& args, size_t& i)
{
    std::string name = args[i];
    std::optional<std::string> value;
    if (const auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.erase(eq);
    }
    const auto flag = [&](bool& target) {
        if (value) return false;
        target = true;
        return true;
    };
    const auto text = [&](std::string& target) {
        if (!value) {
            if (i + 1 >= args.size()) return false;
            value = args[++i];
        }
        target = *value;
        return !target.empty();
    };
    bool fullScreen = false, window = false;
    std::string seed, scale;
    bool ok = false;
    if (name == "--help")
        ok = flag(line.Help);
    else if (name == "--version")
        ok = flag(line.Version);
    else if (name == "--fullscreen")
        ok = flag(fullScreen);
    else if (name == "--window")
        ok = flag(window);
    else if (name == "--realtime")
        ok = flag(line.Realtime);
    else if (name == "--verbose")
        ok = flag(line.Verbose);
    else if (name == "--replay")
        ok = text(line.ReplayFile);
    else if (name == "--dump-dir")
        ok = text(line.DumpDir);
    else if (name == "--transcript")
        ok = text(line.TranscriptFile);
    else if (name == "--soundfont")
        ok = text(line.SoundFont);
    else if (name == "--cd-image")
        ok = text(line.CdImage);
    else if (name == "--seed")
        ok = text(seed);
    else if (name == "--renderer")
        ok = text(line.Renderer);
    else if (name == "--texthook")
        ok = text(line.TextHook);
    else if (name == "--scale")
        ok = text(scale);
    else if (name == "--smooth")
        ok = flag(line.Smooth);
    else {
        line.Error = "unknown option " + name;
        return false;
    }
    if (!ok) {
        line.Error = "option " + name + (value ? " takes no value" : " needs a value");
        return false;
    }
    if (!seed.empty()) {
        line.Seed = ParseSeed(seed);
        if (!line.Seed) {
            line.Error = "option " + name + kSeedError;
            return false;
        }
    }
    if (!scale.empty()) {
        const std::optional<int> factor = ParseScale(scale);
        if (!factor) {
            line.Error = "option " + name + " takes a whole number from 1 to " +
                         std::to_string(kMaxWindowScale) + ", not " + scale;
            return false;
        }
        line.Scale = *factor;
    }
    if (fullScreen) line.FullScreen = true;
    if (window) line.FullScreen = false;
    return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.starts_with("--")) {
            if (!TakeLongOption(line, args, i)) return line;
            continue;
        }
        switch (arg.empty() ? '\0' : arg[0]) {
            case '/':
                if (IsAbsolutePath(arg)) {
                    line.NovelFile = arg;
                } else {
                    const std::string word = UpperCaseAscii(arg);
                    if (word == "/DEBUG") line.DebugMode = true;
                    if (word == "/16") line.Only16BitDisplay = true;
                    if (word == "/SILHOUETTE") line.SilhouetteMode = true;
                }
                break;  // any other switch is ignored
            case '*':
                line.DataFolder = Rest(arg);
                break;
            case '=':
                line.BookmarkFile = Rest(arg);
                break;
            default:
                line.NovelFile = arg;
                break;
        }
    }
    return line;
}

void ApplyReplayEnvironment(CommandLine& line)
{
    const auto fill = [](std::string& target, const char* variable) {
        const char* value = std::getenv(variable);
        if (target.empty() && value) target = value;
    };
    fill(line.ReplayFile, "KELVA_REPLAY");
    fill(line.DumpDir, "KELVA_DUMP_DIR");
    fill(line.TranscriptFile, "KELVA_TRANSCRIPT");
    fill(line.CdImage, "KELVA_CD_IMAGE");
    fill(line.Renderer, "KELVA_RENDERER");
    fill(line.TextHook, "KELVA_TEXTHOOK");
    const char* realtime = std::getenv("KELVA_REALTIME");
    if (realtime && std::string(realtime) == "1") line.Realtime = true;
    const char* seed = std::getenv("KELVA_SEED");
    if (!line.Seed && seed) {
        line.Seed = ParseSeed(seed);
        if (!line.Seed) line.Error = std::string("KELVA_SEED") + kSeedError;
    }
    if (!line.Seed && !line.ReplayFile.empty() && !line.Realtime) line.Seed = kReplaySeed;
}

std::string UsageText()
{
    return "Usage: kelvanovelrun [options] [/DEBUG] [/16] [/SILHOUETTE] [*DATA_FOLDER]\n"
           "                     [=BOOKMARK_FILE] [NOVEL_FILE]\n"
           "\n"
           "Plays a novel file (.kne). A player with a game package appended plays that game\n"
           "and ignores its command line.\n"
           "\n"
           "  /DEBUG          debug bar, jump (F6) and counter (F5) windows\n"
           "  /16             use at most 16 bits per pixel in full screen\n"
           "  /SILHOUETTE     draw characters as silhouettes\n"
           "  *FOLDER         data folder: pictures, music and sounds are looked up there\n"
           "  =FILE           bookmark file (default: the novel file with .knb)\n"
           "  --fullscreen    start full screen (overrides the story's setting)\n"
           "  --window        start in a window\n"
           "  --scale N       make the window N times 640 x 480 (1 to what fits the desktop)\n"
           "  --smooth        scale the stage with linear filtering to the largest size that\n"
           "                  fits (without it: by the largest whole factor, black bars\n"
           "                  around)\n"
           "  --replay EVENTS run headless on a virtual clock, fed by the events in EVENTS\n"
           "  --dump-dir DIR  where the replay's dump events write PNG pictures\n"
           "  --transcript F  write what happens during the replay to F\n"
           "  --realtime      run the replay on the real clock, with window and sound\n"
           "  --soundfont F   General MIDI SoundFont for the built-in synthesizer\n"
           "  --cd-image F    a CUE sheet of a disc image that plays as the CD\n"
           "  --seed N        seed of the random numbers (default: from the time; a replay\n"
           "                  on the virtual clock uses 1); the transcript's first line\n"
           "                  records it\n"
           "  --renderer R    how the picture reaches the screen: software (copied into\n"
           "                  the window, cheapest without a graphics card) or accelerated\n"
           "                  (SDL's renderer); default: accelerated only when a graphics\n"
           "                  card is found; KELVA_RENDERER sets it too\n"
           "  --texthook F    write every line of story text as it is typed, and each\n"
           "                  menu's choices, to F (- for standard output), one a line in\n"
           "                  UTF-8: for screen readers, speech and translation tools\n"
           "  --verbose       log which devices and files were chosen, and start-up timings\n"
           "  --help          show this text\n"
           "  --version       show the runtime version\n" +
           KeyHelpUsage();
}

}  // namespace kelva
