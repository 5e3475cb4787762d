#include "platform/UserFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/EnvironmentGuard.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

TEST(UserFolders, XdgVariablesCountOnlyWhenAbsolute)
{
    test::EnvironmentGuard environment;
    environment.Set("HOME", "/home/reader");
    environment.Set("XDG_DATA_HOME", std::nullopt);
    environment.Set("XDG_CONFIG_HOME", "relative/config");  // not absolute: ignored
    environment.Set("XDG_STATE_HOME", "/var/state");
    EXPECT_EQ(UserFolder(UserFolderKind::Data), "/home/reader/.local/share");
    EXPECT_EQ(UserFolder(UserFolderKind::Config), "/home/reader/.config");
    EXPECT_EQ(UserFolder(UserFolderKind::State), "/var/state");
    EXPECT_EQ(UserFolder(UserFolderKind::Pictures), "/home/reader/Pictures");
    environment.Set("HOME", std::nullopt);
    EXPECT_EQ(UserFolder(UserFolderKind::Data), "");
}

TEST(UserFolders, PicturesComeFromTheDesktopsUserDirs)
{
    test::TempDir dir;
    test::EnvironmentGuard environment;
    environment.Set("HOME", "/home/reader");
    environment.Set("XDG_CONFIG_HOME", dir.Path().string());
    const auto pictures = [&](const std::string& lines) {
        std::ofstream(dir.File("user-dirs.dirs")) << lines;
        return UserFolder(UserFolderKind::Pictures);
    };
    EXPECT_EQ(pictures("# written by the desktop\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n"),
              "/home/reader/Bilder");
    EXPECT_EQ(pictures("XDG_PICTURES_DIR=\"/data/shots\"\n"), "/data/shots");
    EXPECT_EQ(pictures("XDG_PICTURES_DIR=\"relative\"\nXDG_PICTURES_DIR=broken\n"), "/home/reader/Pictures");
}

}  // namespace
}  // namespace kelva
