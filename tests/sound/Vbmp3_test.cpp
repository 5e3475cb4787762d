#include "sound/Vbmp3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/RecordingMessageBox.h"

namespace kelva {
namespace {

using List = std::vector<std::string>;

// What the fake library's functions saw. The C entry points take no context, so they
// report to the log of the running test.
List* g_events = nullptr;
bool g_infoWasZeroed = false;

int Log(std::string event)
{
    g_events->push_back(std::move(event));
    return 1;
}

// The functions the library exports and the binding calls.
struct Fake {
    static int Init() { return Log("init"); }
    static int Free() { return Log("free"); }
    static int Play() { return Log("play"); }
    static int Stop() { return Log("stop"); }
    static int Close() { return Log("close"); }
    static int Version() { return 312; }
    static int SetMixer(void*) { return Log("mixer"); }
    static int Open(const char* fileName, void* info)
    {
        auto* bytes = static_cast<unsigned char*>(info);
        g_infoWasZeroed = std::all_of(bytes, bytes + 272, [](unsigned char b) { return b == 0; });
        std::fill(bytes, bytes + 272, 0xAB);  // the library fills the whole record
        return Log(std::string("open ") + fileName);
    }
    static int NeverCalled()
    {
        ADD_FAILURE() << "unexpected call";
        return 0;
    }
};

// The library's exports: the functions above, and for every other bound name one that
// must never be called.
void* Export(const std::string& name)
{
    static const std::map<std::string, void*> kCalled = {
        {"vbmp3_init", reinterpret_cast<void*>(&Fake::Init)},
        {"vbmp3_free", reinterpret_cast<void*>(&Fake::Free)},
        {"vbmp3_open", reinterpret_cast<void*>(&Fake::Open)},
        {"vbmp3_play", reinterpret_cast<void*>(&Fake::Play)},
        {"vbmp3_stop", reinterpret_cast<void*>(&Fake::Stop)},
        {"vbmp3_close", reinterpret_cast<void*>(&Fake::Close)},
        {"vbmp3_getVersion", reinterpret_cast<void*>(&Fake::Version)},
        {"vbmp3_setMixer", reinterpret_cast<void*>(&Fake::SetMixer)},
    };
    const auto found = kCalled.find(name);
    return found != kCalled.end() ? found->second : reinterpret_cast<void*>(&Fake::NeverCalled);
}

std::set<std::string> AllExceptNames(std::set<std::string> missing)
{
    std::set<std::string> names(Mp3Library::kFunctionNames.begin(), Mp3Library::kFunctionNames.end());
    names.insert("vbmp3_setMixer");
    for (const auto& name : missing) names.erase(name);
    return names;
}

class FakeLibrary final : public DynamicLibrary {
public:
    explicit FakeLibrary(std::set<std::string> exports) : m_exports(std::move(exports)) {}
    ~FakeLibrary() override { g_events->push_back("unload"); }
    void* Symbol(const std::string& name) override { return m_exports.count(name) ? Export(name) : nullptr; }

private:
    std::set<std::string> m_exports;
};

// Libraries by path, each exporting a chosen set of names; remembers every attempt.
class FakeLoader final : public LibraryLoader {
public:
    std::unique_ptr<DynamicLibrary> Load(const std::string& path) override
    {
        attempts.push_back(path);
        const auto found = libraries.find(path);
        return found == libraries.end() ? nullptr : std::make_unique<FakeLibrary>(found->second);
    }

    std::map<std::string, std::set<std::string>> libraries;
    List attempts;
};

class Mp3LibraryTest : public ::testing::Test {
protected:
    void SetUp() override { g_events = &events; }
    void TearDown() override
    {
        library.reset();  // its destructor still reports to the log
        g_events = nullptr;
    }

    List events;
    FakeLoader loader;
    RecordingMessageBox messages{false};
    std::unique_ptr<Mp3Library> library = std::make_unique<Mp3Library>();
};

TEST_F(Mp3LibraryTest, LooksBesideTheProgramThenOnTheSearchPath)
{
    loader.libraries["libvbmp3.so"] = AllExceptNames({});
    EXPECT_TRUE(library->LoadMp3Library(loader, messages, "/opt/game"));
    EXPECT_EQ(loader.attempts, (List{"/opt/game/libvbmp3.so", "libvbmp3.so"}));

    FakeLoader both;
    both.libraries["/opt/game/libvbmp3.so"] = both.libraries["libvbmp3.so"] = AllExceptNames({});
    Mp3Library beside;
    EXPECT_TRUE(beside.LoadMp3Library(both, messages, "/opt/game/"));
    EXPECT_EQ(both.attempts, (List{"/opt/game/libvbmp3.so"}));

    FakeLoader none;
    Mp3Library unknownFolder;
    EXPECT_FALSE(unknownFolder.LoadMp3Library(none, messages, ""));
    EXPECT_EQ(none.attempts, (List{"libvbmp3.so"}));
}

TEST_F(Mp3LibraryTest, MissingLibraryStaysUnloadedQuietlyAndDoesNothing)
{
    EXPECT_FALSE(library->LoadMp3Library(loader, messages, "/opt/game"));
    EXPECT_FALSE(library->IsMp3LibraryLoaded());
    EXPECT_FALSE(library->Open("se01.mp3") || library->Play() || library->Stop() || library->Close() ||
                 library->SetMixer(nullptr) || library->Version());
    library.reset();
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_TRUE(events.empty());
}

TEST_F(Mp3LibraryTest, CompleteLibraryFromInitToFree)
{
    loader.libraries["libvbmp3.so"] = AllExceptNames({});
    ASSERT_TRUE(library->LoadMp3Library(loader, messages, ""));
    EXPECT_TRUE(library->LoadMp3Library(loader, messages, ""));  // already loaded: no second load
    EXPECT_EQ(loader.attempts.size(), 1u);
    EXPECT_TRUE(messages.Messages().empty());

    EXPECT_TRUE(library->Open("/tmp/se01.mp3") && library->Play() && library->Stop() && library->Close());
    EXPECT_TRUE(g_infoWasZeroed);
    EXPECT_TRUE(library->Open("bgm.wav"));
    EXPECT_TRUE(g_infoWasZeroed);  // zeroed again after the library filled it
    EXPECT_EQ(library->Version(), 312);
    EXPECT_TRUE(library->SetMixer(this));

    library.reset();
    EXPECT_EQ(events, (List{"init", "open /tmp/se01.mp3", "play", "stop", "close", "open bgm.wav", "mixer",
                            "free", "unload"}));
}

TEST_F(Mp3LibraryTest, EachMissingFunctionIsReportedAndNeverCalled)
{
    loader.libraries["libvbmp3.so"] =
        AllExceptNames({"vbmp3_init", "vbmp3_free", "vbmp3_play", "vbmp3_setMixer"});
    EXPECT_TRUE(library->LoadMp3Library(loader, messages, ""));
    EXPECT_TRUE(library->IsMp3LibraryLoaded());

    // In lookup order; the extra mixer function is not one of the bound names.
    const auto& shown = messages.Messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "VBMP3.DLL ロードエラー");
    EXPECT_EQ(shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(shown[0].text, "関数 vbmp3_init() をインポートできません.");
    EXPECT_EQ(shown[1].text, "関数 vbmp3_free() をインポートできません.");
    EXPECT_EQ(shown[2].text, "関数 vbmp3_play() をインポートできません.");

    EXPECT_FALSE(library->Play());
    EXPECT_FALSE(library->SetMixer(this));
    EXPECT_TRUE(library->Stop());
    library.reset();
    EXPECT_EQ(events, (List{"stop", "unload"}));
}

}  // namespace
}  // namespace kelva
