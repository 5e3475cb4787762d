#include "platform/fluidsynth/SoundFontSearch.h"

#include <fluidsynth.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace kelva {
namespace {

bool IsReadableFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::vector<std::string> DefaultSoundFontPlaces()
{
    std::vector<std::string> places;
    std::unique_ptr<fluid_settings_t, decltype(&delete_fluid_settings)> settings(new_fluid_settings(),
                                                                                 delete_fluid_settings);
    char* synthDefault = nullptr;
    if (settings &&
        fluid_settings_dupstr(settings.get(), "synth.default-soundfont", &synthDefault) == FLUID_OK &&
        synthDefault) {
        places.emplace_back(synthDefault);
        fluid_free(synthDefault);
    }
    for (const char* place : {
             "/usr/share/sounds/sf2/default-GM.sf2",
             "/usr/share/sounds/sf2/FluidR3_GM.sf2",
             "/usr/share/sounds/sf2/TimGM6mb.sf2",
             "/usr/share/sounds/sf3/default-GM.sf3",
             "/usr/share/sounds/sf3/MuseScore_General.sf3",
             "/usr/share/soundfonts/default.sf2",
             "/usr/share/soundfonts/FluidR3_GM.sf2",
             "/usr/share/soundfonts/freepats-general-midi.sf2",
             "/usr/local/share/soundfonts/default.sf2",
         })
        places.emplace_back(place);
    return places;
}

SoundFontSearch::SoundFontSearch(std::string explicitFile, std::vector<std::string> defaultPlaces)
    : m_explicitFile(std::move(explicitFile)), m_defaultPlaces(std::move(defaultPlaces))
{
}

std::vector<std::string> SoundFontSearch::Candidates(const std::function<void(const std::string&)>& log) const
{
    std::vector<std::string> found;
    auto consider = [&](const std::string& path, const char* namedBy) {
        if (path.empty()) return;
        if (!IsReadableFile(path)) {
            if (namedBy && log) log("SoundFont " + path + " (from " + namedBy + ") is not a readable file");
            return;
        }
        if (std::find(found.begin(), found.end(), path) == found.end()) found.push_back(path);
    };

    consider(m_explicitFile, "--soundfont");
    consider(Environment("KELVA_SOUNDFONT"), "KELVA_SOUNDFONT");
    // SDL_SOUNDFONTS is a search list: only its first existing entry counts, and the
    // others are not errors.
    const std::string sdlList = Environment("SDL_SOUNDFONTS");
    size_t start = 0;
    while (start <= sdlList.size()) {
        const size_t end = std::min(sdlList.find(':', start), sdlList.size());
        const std::string entry = sdlList.substr(start, end - start);
        if (IsReadableFile(entry)) {
            consider(entry, nullptr);
            break;
        }
        start = end + 1;
    }
    for (const std::string& place : m_defaultPlaces) consider(place, nullptr);
    return found;
}

}  // namespace kelva
