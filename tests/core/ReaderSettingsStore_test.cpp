#include "core/ReaderSettingsStore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/EnvironmentGuard.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

struct SettingsFolder {
    std::string Path() const { return dir.File("settings.ini"); }
    void Write(const std::string& text) const
    {
        test::WriteBytes(Path(), std::vector<uint8_t>(text.begin(), text.end()));
    }
    std::string Read() const
    {
        const std::vector<uint8_t> bytes = test::ReadBytes(Path());
        return std::string(bytes.begin(), bytes.end());
    }
    ReaderSettingsStore Open()
    {
        return ReaderSettingsStore(Path(), [this](const std::string& line) { warnings.push_back(line); });
    }
    test::TempDir dir;
    std::vector<std::string> warnings;
};

TEST(ReaderSettingsStore, ReadsEveryKeyAndWarnsOfBadValuesKeepingTheirDefaults)
{
    SettingsFolder folder;
    folder.Write(
        "volume = 40\n"
        "mute = yes\n"
        "text_speed = 150\n"
        "skip_only_read = on\n"
        "auto_advance_delay_ms = 2000\n"
        "auto_advance_ms_per_char = 0\n");
    ReaderSettings expected;
    expected.VolumePercent = 40;
    expected.Muted = true;
    expected.TextSpeedPercent = 150;
    expected.SkipOnlyRead = true;
    expected.AutoAdvanceBaseMs = 2000;
    expected.AutoAdvancePerCharMs = 0;
    EXPECT_EQ(folder.Open().Settings(), expected);
    EXPECT_TRUE(folder.warnings.empty());

    const std::pair<const char*, const char*> bad[] = {
        {"volume = 101", "line 1: volume = \"101\" is not a whole number from 0 to 100; the default is used"},
        {"volume = 99999999999999999999", "is not a whole number"},
        {"volume = 50 # loud", "is not a whole number"},
        {"text_speed = 0", "is not a whole number from 10 to 1000"},
        {"mute = maybe", "line 1: mute = \"maybe\" is not true or false; the default is used"},
        {"mute", "line 1: not a \"key = value\" line (left as it is)"},
    };
    for (const auto& [text, warning] : bad) {
        SCOPED_TRACE(text);
        folder.warnings.clear();
        folder.Write(text);
        EXPECT_EQ(folder.Open().Settings(), ReaderSettings());
        ASSERT_EQ(folder.warnings.size(), 1u);
        EXPECT_NE(folder.warnings[0].find(warning), std::string::npos) << folder.warnings[0];
        EXPECT_EQ(folder.warnings[0].rfind(folder.Path() + ": ", 0), 0u) << "names the file";
    }
}

TEST(ReaderSettingsStore, AChangeIsWrittenAtOnceKeepingCommentsUnknownKeysAndBadLines)
{
    SettingsFolder folder;
    folder.Write("# 読む人の設定\nvolume = 60\ncolour = blue\ntext_speed = fast\n");
    ReaderSettingsStore store = folder.Open();
    ReaderSettings settings = store.Settings();
    settings.VolumePercent = 70;
    settings.Muted = true;
    store.Change(settings);
    EXPECT_EQ(folder.Read(), "# 読む人の設定\nvolume = 70\ncolour = blue\ntext_speed = fast\nmute = true\n");
    EXPECT_EQ(folder.Open().Settings(), settings);
}

TEST(ReaderSettingsStore, ANewFileIsMadeWithItsFolderAndAnUnchangedSettingWritesNothing)
{
    SettingsFolder folder;
    const std::string path = folder.dir.File("config/kelvanovelrun/settings.ini");
    ReaderSettingsStore store(path, [](const std::string&) {});
    store.Change(store.Settings());
    EXPECT_FALSE(std::filesystem::exists(path));
    ReaderSettings settings;
    settings.VolumePercent = 0;
    store.Change(settings);
    const std::vector<uint8_t> bytes = test::ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "volume = 0\n");
}

TEST(ReaderSettingsStore, ADamagedFileIsIgnoredAndKeptAsideWhenASettingChanges)
{
    for (const std::string& junk : {std::string("\x7F"
                                                "ELF\0\0\0volume = 10",
                                                18),
                                    "volume = 10\n" + std::string(SettingsFile::kMaxBytes, '#')}) {
        SettingsFolder folder;
        folder.Write(junk);
        ReaderSettingsStore store = folder.Open();
        EXPECT_EQ(store.Settings(), ReaderSettings());
        ASSERT_EQ(folder.warnings.size(), 1u);
        EXPECT_NE(folder.warnings[0].find("ignored, the default settings are used"), std::string::npos);
        ReaderSettings settings;
        settings.Muted = true;
        store.Change(settings);
        EXPECT_EQ(folder.Read(), "mute = true\n");
        const std::vector<uint8_t> aside = test::ReadBytes(folder.Path() + ".damaged");
        EXPECT_EQ(std::string(aside.begin(), aside.end()), junk) << "never lost";
    }
}

TEST(ReaderSettingsStore, WithoutAPathNothingIsReadOrWritten)
{
    test::TempDir dir;
    test::EnvironmentGuard environment;
    environment.Set("XDG_CONFIG_HOME", dir.Path().string());
    EXPECT_EQ(ReaderSettingsStore::DefaultPath(), dir.File("kelvanovelrun/settings.ini"));
    std::filesystem::create_directories(dir.File("kelvanovelrun"));
    test::WriteBytes(ReaderSettingsStore::DefaultPath(), {'m', 'u', 't', 'e', '=', '1'});
    ReaderSettingsStore store("", [](const std::string&) { FAIL() << "nothing to warn of"; });
    EXPECT_EQ(store.Settings(), ReaderSettings());
    ReaderSettings settings;
    settings.VolumePercent = 30;
    store.Change(settings);
    EXPECT_EQ(store.Settings().VolumePercent, 30);
    EXPECT_EQ(test::ReadBytes(ReaderSettingsStore::DefaultPath()).size(), 6u);
}

}  // namespace
}  // namespace kelva
