#include "platform/sdl/RendererChoice.h"

#include <unistd.h>

#include <filesystem>

namespace kelva {

std::optional<RendererChoice> ParseRendererChoice(const std::string& name)
{
    if (name == "software") return RendererChoice::Software;
    if (name == "accelerated") return RendererChoice::Accelerated;
    return std::nullopt;
}

RendererChoice ResolveRendererChoice(RendererChoice choice, const std::string& driDirectory)
{
    if (choice != RendererChoice::Automatic) return choice;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(driDirectory, error)) {
        const std::string path = entry.path().string();
        if (entry.path().filename().string().starts_with("renderD") &&
            access(path.c_str(), R_OK | W_OK) == 0) {
            return RendererChoice::Accelerated;
        }
    }
    return RendererChoice::Software;
}

}  // namespace kelva
