// Where the built-in synthesizer looks for its General MIDI SoundFont, in order of
// preference: the file the user named (--soundfont), the environment (KELVA_SOUNDFONT,
// then each entry of the ':'-separated SDL_SOUNDFONTS), then the system's defaults:
// FluidSynth's own synth.default-soundfont and the usual install places.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kelva {

// FluidSynth's compiled-in default SoundFont, then the places distributions install one
// (Debian's default-GM alternative first).
std::vector<std::string> DefaultSoundFontPlaces();

class SoundFontSearch {
public:
    // `explicitFile` may be empty (none given). `defaultPlaces` replaces the system's
    // defaults, so a test can search without them.
    explicit SoundFontSearch(std::string explicitFile,
                             std::vector<std::string> defaultPlaces = DefaultSoundFontPlaces());

    // The readable regular files among the places, best first, each once. The environment
    // is read at each call. A file the user named (option or environment) that isn't
    // there is reported through `log`, and the search goes on.
    std::vector<std::string> Candidates(const std::function<void(const std::string&)>& log) const;

private:
    std::string m_explicitFile;
    std::vector<std::string> m_defaultPlaces;
};

}  // namespace kelva
