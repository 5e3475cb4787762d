// Which way the stage reaches the screen, as the reader or the machine chooses it.
#pragma once

#include <optional>
#include <string>

namespace kelva {

enum class RendererChoice {
    Automatic,    // accelerated when the machine has a graphics card, the surface otherwise
    Software,     // the window surface
    Accelerated,  // SDL's renderer
};

// "software" or "accelerated"; nullopt for anything else.
std::optional<RendererChoice> ParseRendererChoice(const std::string& name);

// The choice Automatic comes to. A graphics card shows itself as a DRI render node
// (/dev/dri/renderD*) this user may open; without one every 3D library would draw in
// software, on the processor, at a far higher cost than a plain copy. Looking at the
// node loads nothing, where asking the 3D library itself would load all of it.
RendererChoice ResolveRendererChoice(RendererChoice choice, const std::string& driDirectory = "/dev/dri");

}  // namespace kelva
