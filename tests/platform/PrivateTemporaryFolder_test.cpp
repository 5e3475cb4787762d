#include "platform/linux/PrivateTemporaryFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "support/EnvironmentGuard.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

class PrivateTemporaryFolderTest : public ::testing::Test {
protected:
    void SetUp() override { environment.Set("TMPDIR", shared.string()); }

    test::TempDir dir;
    const fs::path shared = dir.Path() / "tmp";
    test::EnvironmentGuard environment;
};

TEST_F(PrivateTemporaryFolderTest, IsMadeWhenFirstAskedForInTmpdirAndOnlyWeCanEnterIt)
{
    fs::create_directory(shared);
    std::optional<PrivateTemporaryFolder> folder(std::in_place);
    EXPECT_TRUE(fs::is_empty(shared));

    const std::string path = folder->Path();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(folder->Path(), path);
    EXPECT_EQ(fs::path(path).parent_path(), shared);
    EXPECT_EQ(fs::path(path).filename().string().rfind("kelvanovelrun-", 0), 0u);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // Whatever is left in it goes with it.
    std::ofstream(path + "/left") << "x";
    folder.reset();
    EXPECT_TRUE(fs::is_empty(shared));
}

TEST_F(PrivateTemporaryFolderTest, AFolderThatCantBeMadeIsEmptyAndTriedAgain)
{
    PrivateTemporaryFolder folder;
    EXPECT_EQ(folder.Path(), "");  // $TMPDIR does not exist yet
    fs::create_directory(shared);
    EXPECT_EQ(fs::path(folder.Path()).parent_path(), shared);
}

}  // namespace
}  // namespace kelva
