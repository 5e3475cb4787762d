#include "platform/UserFolders.h"

#include <cstdlib>
#include <fstream>
#include <string_view>

namespace kelva {

namespace {

std::string Home()
{
    const char* home = std::getenv("HOME");
    return home && home[0] == '/' ? home : std::string();
}

// An absolute folder from the environment, or `fallback` under $HOME.
std::string BaseFolder(const char* variable, std::string_view fallback)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    const std::string home = Home();
    return home.empty() ? home : home + "/" + std::string(fallback);
}

// XDG_PICTURES_DIR="$HOME/Pictures" as user-dirs.dirs writes it: quoted, either absolute
// or starting with $HOME.
std::string PicturesFromUserDirs(const std::string& config)
{
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    constexpr std::string_view kPrefix = "XDG_PICTURES_DIR=\"";
    while (std::getline(file, line)) {
        if (!line.starts_with(kPrefix) || line.size() < kPrefix.size() + 2 || line.back() != '"') continue;
        std::string value = line.substr(kPrefix.size(), line.size() - kPrefix.size() - 1);
        if (value.starts_with("$HOME/")) value = Home() + value.substr(5);
        if (value.starts_with('/') && value.find('"') == std::string::npos) return value;
    }
    return {};
}

}  // namespace

std::string UserFolder(UserFolderKind kind)
{
    switch (kind) {
        case UserFolderKind::Data:
            return BaseFolder("XDG_DATA_HOME", ".local/share");
        case UserFolderKind::Config:
            return BaseFolder("XDG_CONFIG_HOME", ".config");
        case UserFolderKind::State:
            return BaseFolder("XDG_STATE_HOME", ".local/state");
        case UserFolderKind::Pictures: {
            std::string pictures = PicturesFromUserDirs(BaseFolder("XDG_CONFIG_HOME", ".config"));
            if (!pictures.empty()) return pictures;
            const std::string home = Home();
            return home.empty() ? home : home + "/Pictures";
        }
    }
    return {};
}

}  // namespace kelva
