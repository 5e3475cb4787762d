#include "sound/Cdp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless/ManualClock.h"
#include "sound/CdTestDisc.h"
#include "sound/DiscImage.h"
#include "sound/DiscImageDrive.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

using test::Heard;
using List = std::vector<std::string>;

// A drive whose disc state the test sets; it has no audio to read.
class FakeDrive final : public CdDrive {
public:
    FakeDrive(std::string name, CdDiscState state, bool opens = true)
        : State(state), m_name(std::move(name)), m_opens(opens)
    {
    }

    const std::string& Name() const override { return m_name; }
    bool Open(std::string& error) override
    {
        ++Opened;
        if (!m_opens) error = m_name + ": cannot be opened";
        m_open = m_opens;
        return m_opens;
    }
    void Close() override
    {
        ++Closed;
        m_open = false;
    }
    CdDiscState DiscState() override { return m_open ? State : CdDiscState::NoDisc; }
    std::vector<CdTrack> Tracks() override
    {
        if (!m_open || State != CdDiscState::Ready) return {};
        return {{0, 150, false}, {150, 4500, true}};
    }
    std::unique_ptr<CdAudioStream> ReadAudio(int32_t, int32_t, std::string& error) override
    {
        error = "no audio here";
        return nullptr;
    }

    CdDiscState State;
    int Opened = 0;
    int Closed = 0;

private:
    const std::string m_name;
    const bool m_opens;
    bool m_open = false;
};

class CdpTest : public ::testing::Test {
protected:
    CdpTest()
    {
        // Data for 2 s, tone A for 1.2 s, tone B for 1 s; and a disc of data and tone A.
        std::vector<uint8_t> bin = test::DataSectors(150);
        for (const auto& part : {test::ToneSectors(test::kToneA, 90), test::ToneSectors(test::kToneB, 75)}) {
            bin.insert(bin.end(), part.begin(), part.end());
        }
        test::WriteBytes(m_dir.File("three.bin"), bin);
        WriteSheet("three.cue",
                   "FILE three.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
                   "INDEX 01 00:02:00\nTRACK 03 AUDIO\nINDEX 01 00:03:15\n");
        WriteSheet("two.cue",
                   "FILE three.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
                   "INDEX 01 00:02:00\n");
    }

    void WriteSheet(const std::string& name, const std::string& text)
    {
        test::WriteBytes(m_dir.File(name), std::vector<uint8_t>(text.begin(), text.end()));
    }

    std::unique_ptr<CdDrive> Image(const std::string& sheet)
    {
        std::string error;
        std::unique_ptr<DiscImage> disc = DiscImage::FromCueSheet(m_dir.File(sheet), error);
        EXPECT_TRUE(disc) << error;
        return std::make_unique<DiscImageDrive>(sheet, std::move(disc));
    }

    TCDP& Player(std::vector<std::unique_ptr<CdDrive>> drives)
    {
        m_cdp = std::make_unique<TCDP>(std::move(drives), *m_mixer, m_clock);
        return *m_cdp;
    }

    TCDP& PlayerWith(const std::string& sheet)
    {
        std::vector<std::unique_ptr<CdDrive>> drives;
        drives.push_back(Image(sheet));
        return Player(std::move(drives));
    }

    // Opens the first drive and lets the watch timer notice its disc.
    void NoticeDisc()
    {
        ASSERT_TRUE(m_cdp->OpenDrive(0));
        for (int tick = 0; tick < TCDP::kPollTicks + 1; ++tick) m_cdp->WatchTimer();
    }

    // What is heard over `slices` tenths of a second while the owner ticks the player.
    std::vector<Heard> ListenWhileTicking(int slices)
    {
        return test::Listen(*m_mixer, slices, [this] {
            m_clock.Advance(100);
            m_cdp->Tick();
        });
    }

    test::TempDir m_dir;
    ManualClock m_clock;
    std::unique_ptr<AudioMixer> m_mixer = std::make_unique<AudioMixer>();
    std::unique_ptr<TCDP> m_cdp;
};

TEST_F(CdpTest, TheWatchTimerNoticesADiscOnItsSixthTick)
{
    TCDP& cdp = PlayerWith("three.cue");
    EXPECT_EQ(cdp.DriveList(), List{"three.cue"});
    ASSERT_TRUE(cdp.OpenDrive(0));
    EXPECT_TRUE(cdp.MediaPresent());
    EXPECT_TRUE(cdp.Ready());
    for (int tick = 0; tick < 5; ++tick) cdp.WatchTimer();
    EXPECT_TRUE(cdp.PlayList().empty());
    EXPECT_EQ(cdp.TotalSeconds(), 0);
    cdp.WatchTimer();
    EXPECT_EQ(cdp.PlayList(), (List{"1", "2", "3"}));
    // 2 s of data, 1.2 s and 1 s of audio: whole seconds of each.
    EXPECT_EQ(cdp.TotalSeconds(), 4);

    // Closing forgets the disc; the next drive opened is watched afresh.
    EXPECT_TRUE(cdp.CloseDevice());
    EXPECT_FALSE(cdp.CloseDevice());
    EXPECT_TRUE(cdp.PlayList().empty());
    EXPECT_FALSE(cdp.MediaPresent());
}

TEST_F(CdpTest, TheWatchTimerIsDueEvery200MsWithoutMakingUpLateTicks)
{
    TCDP& cdp = PlayerWith("three.cue");
    std::vector<int64_t> due;
    for (int64_t now : {0, 199, 200, 250, 399, 400, 950, 1000, 1150, 1400}) {
        m_clock.SleepUntil(now);
        if (cdp.WatchTimerDue()) due.push_back(now);
    }
    EXPECT_EQ(due, (std::vector<int64_t>{200, 400, 950, 1150, 1400}));
}

TEST_F(CdpTest, PlayTrackPlaysToTheEndOfTheDiscAndThenFromTrackOne)
{
    TCDP& cdp = PlayerWith("three.cue");
    NoticeDisc();
    cdp.PlayTrack(3);
    EXPECT_EQ(cdp.CdMode(), TCDP::kModePlaying);
    EXPECT_EQ(cdp.CurrentTrack(), 3);
    // Track 1 holds data: the repeat goes on with the first track that has sound.
    const std::vector<Heard> heard = ListenWhileTicking(40);
    EXPECT_EQ(heard, (std::vector<Heard>{Heard::ToneB, Heard::ToneA, Heard::ToneB, Heard::ToneA}));
    EXPECT_EQ(cdp.CdMode(), TCDP::kModePlaying);
}

TEST_F(CdpTest, TheCurrentTrackFollowsThePlay)
{
    TCDP& cdp = PlayerWith("three.cue");
    NoticeDisc();
    cdp.PlayTrack(2);
    EXPECT_EQ(ListenWhileTicking(11), std::vector<Heard>{Heard::ToneA});
    EXPECT_EQ(cdp.CurrentTrack(), 2);
    EXPECT_EQ(ListenWhileTicking(4), (std::vector<Heard>{Heard::ToneA, Heard::ToneB}));
    EXPECT_EQ(cdp.CurrentTrack(), 3);

    // Starting on the data track plays from the next track with sound.
    cdp.PlayTrack(1);
    EXPECT_EQ(cdp.CurrentTrack(), 1);
    EXPECT_EQ(ListenWhileTicking(3), std::vector<Heard>{Heard::ToneA});
    EXPECT_EQ(cdp.CurrentTrack(), 2);
}

TEST_F(CdpTest, ATrackNotInThePlayListPlaysNothing)
{
    TCDP& cdp = PlayerWith("two.cue");
    NoticeDisc();
    cdp.PlayTrack(3);
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeStopped);
    EXPECT_EQ(ListenWhileTicking(5), std::vector<Heard>{Heard::Silence});

    // And a play already going on goes on.
    cdp.PlayTrack(2);
    cdp.PlayTrack(3);
    EXPECT_EQ(ListenWhileTicking(3), std::vector<Heard>{Heard::ToneA});
}

TEST_F(CdpTest, StopCdSilencesThePlayForGood)
{
    TCDP& cdp = PlayerWith("three.cue");
    NoticeDisc();
    cdp.PlayTrack(3);
    EXPECT_EQ(ListenWhileTicking(3), std::vector<Heard>{Heard::ToneB});
    cdp.StopCd();
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeStopped);
    // A stop is no finished play: nothing starts again.
    EXPECT_EQ(ListenWhileTicking(30), std::vector<Heard>{Heard::Silence});
}

TEST_F(CdpTest, WithoutRepeatPlayTheDiscPlaysOnce)
{
    TCDP& cdp = PlayerWith("three.cue");
    EXPECT_TRUE(cdp.RepeatPlay());
    cdp.SetRepeatPlay(false);
    NoticeDisc();
    cdp.PlayTrack(3);
    EXPECT_EQ(ListenWhileTicking(30), (std::vector<Heard>{Heard::ToneB, Heard::Silence}));
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeStopped);
}

TEST_F(CdpTest, PlaysAtAnyMixerRate)
{
    m_mixer = std::make_unique<AudioMixer>(48000);
    TCDP& cdp = PlayerWith("three.cue");
    NoticeDisc();
    cdp.PlayTrack(2);
    EXPECT_EQ(ListenWhileTicking(25), (std::vector<Heard>{Heard::ToneA, Heard::ToneB, Heard::ToneA}));
}

TEST_F(CdpTest, PlaysOnWhileAnAudioThreadRenders)
{
    TCDP& cdp = PlayerWith("three.cue");
    NoticeDisc();
    cdp.PlayTrack(3);
    // The audio thread renders 1.1 s and then rests: track 3 (1 s) ends while the main thread
    // ticks, and whatever the repeat plays cannot run out before CdMode is read.
    constexpr int kBlocks = 110;
    std::atomic<bool> rendered{false};
    std::thread audio([&] {
        std::vector<float> mix(2 * 441);
        for (int block = 0; block < kBlocks; ++block) m_mixer->Render(mix.data(), 441);
        rendered.store(true);
    });
    // The main thread's ticks start the repeat, whenever the end is noticed.
    while (cdp.CurrentTrack() == 3 && !rendered.load()) {
        cdp.Tick();
        std::this_thread::yield();
    }
    audio.join();
    cdp.Tick();
    EXPECT_NE(cdp.CurrentTrack(), 3);
    EXPECT_EQ(cdp.CdMode(), TCDP::kModePlaying);
    cdp.StopCd();
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeStopped);
}

TEST_F(CdpTest, CdModeTellsTheDrivesState)
{
    std::vector<std::unique_ptr<CdDrive>> drives;
    drives.push_back(std::make_unique<FakeDrive>("open", CdDiscState::TrayOpen));
    drives.push_back(std::make_unique<FakeDrive>("empty", CdDiscState::NoDisc));
    drives.push_back(std::make_unique<FakeDrive>("spinning", CdDiscState::NotReady));
    drives.push_back(Image("three.cue"));
    TCDP& cdp = Player(std::move(drives));

    EXPECT_EQ(cdp.CdMode(), TCDP::kModeNotReady);  // no device
    EXPECT_FALSE(cdp.MediaPresent());
    EXPECT_EQ(cdp.TotalSeconds(), 0);
    cdp.PlayTrack(2);
    cdp.StopCd();

    ASSERT_TRUE(cdp.OpenDrive(0));
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeOpen);
    ASSERT_TRUE(cdp.OpenDrive(1));
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeNotReady);
    EXPECT_FALSE(cdp.MediaPresent());
    ASSERT_TRUE(cdp.OpenDrive(2));
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeNotReady);
    EXPECT_TRUE(cdp.MediaPresent());
    EXPECT_FALSE(cdp.Ready());
    ASSERT_TRUE(cdp.OpenDrive(3));
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeStopped);
    EXPECT_FALSE(cdp.OpenDrive(4));
}

TEST_F(CdpTest, ADiscTakenOutIsForgotten)
{
    std::vector<std::unique_ptr<CdDrive>> drives;
    auto drive = std::make_unique<FakeDrive>("drive", CdDiscState::Ready);
    FakeDrive& fake = *drive;
    drives.push_back(std::move(drive));
    TCDP& cdp = Player(std::move(drives));
    NoticeDisc();
    EXPECT_EQ(cdp.PlayList(), (List{"1", "2"}));
    EXPECT_EQ(cdp.TotalSeconds(), 2 + 60);

    fake.State = CdDiscState::TrayOpen;
    cdp.WatchTimer();
    EXPECT_TRUE(cdp.PlayList().empty());
    EXPECT_EQ(cdp.CurrentTrack(), 1);

    // A drive that fails to read is remembered, not reported.
    fake.State = CdDiscState::Ready;
    NoticeDisc();
    cdp.PlayTrack(2);
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeStopped);
    EXPECT_EQ(cdp.LastError(), "no audio here");
}

TEST_F(CdpTest, PlayCdTrackWaitsForTheWatchTimerToNoticeTheDisc)
{
    std::vector<std::unique_ptr<CdDrive>> drives;
    auto empty = std::make_unique<FakeDrive>("empty", CdDiscState::NoDisc);
    FakeDrive& emptyDrive = *empty;
    drives.push_back(std::move(empty));
    drives.push_back(Image("three.cue"));
    TCDP& cdp = Player(std::move(drives));

    int pumps = 0;
    const auto pump = [&] {
        ++pumps;
        cdp.Tick();
        return true;
    };
    cdp.PlayCdTrack(2, pump);
    // 3 s in vain on the empty drive; then the image, noticed on the sixth watch tick.
    EXPECT_EQ(emptyDrive.Opened, 1);
    EXPECT_EQ(emptyDrive.Closed, 1);
    EXPECT_GE(m_clock.NowMs(), 3000 + 1000);
    EXPECT_LE(m_clock.NowMs(), 3000 + 1500);
    EXPECT_EQ(cdp.CdMode(), TCDP::kModePlaying);
    EXPECT_EQ(ListenWhileTicking(3), std::vector<Heard>{Heard::ToneA});

    // With the disc known, the next one starts at once.
    const int64_t before = m_clock.NowMs();
    const int pumpsBefore = pumps;
    cdp.PlayCdTrack(3, pump);
    EXPECT_EQ(m_clock.NowMs(), before);
    EXPECT_EQ(pumps, pumpsBefore);
    EXPECT_EQ(ListenWhileTicking(3), std::vector<Heard>{Heard::ToneB});
}

TEST_F(CdpTest, PlayCdTrackGivesUpAfterThreeSecondsPerDrive)
{
    std::vector<std::unique_ptr<CdDrive>> drives;
    drives.push_back(std::make_unique<FakeDrive>("a", CdDiscState::NoDisc));
    drives.push_back(std::make_unique<FakeDrive>("broken", CdDiscState::Ready, false));
    drives.push_back(std::make_unique<FakeDrive>("b", CdDiscState::TrayOpen));
    TCDP& cdp = Player(std::move(drives));
    int pumps = 0;
    cdp.PlayCdTrack(2, [&] {
        ++pumps;
        cdp.Tick();
        return true;
    });
    // A drive that can't be opened is passed over at once.
    EXPECT_EQ(m_clock.NowMs(), 2 * 3000);
    EXPECT_EQ(pumps, 2 * TCDP::kSearchAttempts);
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeNotReady);

    // A pump that answers false (the window is closing) ends the search.
    pumps = 0;
    cdp.PlayCdTrack(2, [&] { return ++pumps < 3; });
    EXPECT_EQ(pumps, 3);
}

TEST_F(CdpTest, WithoutDrivesEverythingIsNotReady)
{
    TCDP& cdp = Player({});
    EXPECT_TRUE(cdp.DriveList().empty());
    EXPECT_FALSE(cdp.OpenDrive(0));
    cdp.PlayCdTrack(2, [] { return true; });
    cdp.Tick();
    EXPECT_EQ(m_clock.NowMs(), 0);
    EXPECT_EQ(cdp.CdMode(), TCDP::kModeNotReady);
    EXPECT_FALSE(cdp.Ready());
}

}  // namespace
}  // namespace kelva
