#include "sound/Vbmp3.h"

#include "vbmp3/vbmp3.h"

namespace kelva {

static_assert(Mp3Library::kInfoSize == VBMP3_INFO_SIZE);

const std::array<const char*, Mp3Library::kFunctionCount> Mp3Library::kFunctionNames = {
    "vbmp3_init",
    "vbmp3_free",
    "vbmp3_open",
    "vbmp3_close",
    "vbmp3_getState",
    "vbmp3_play",
    "vbmp3_stop",
    "vbmp3_pause",
    "vbmp3_restart",
    "vbmp3_seek",
    "vbmp3_setVolume",
    "vbmp3_getVersion",
    "vbmp3_getTagInfo",
    "vbmp3_getMpegInfo",
    "vbmp3_getWinampPlayMs",
    "vbmp3_getWinampTotalSec",
};

namespace {

// The function types come from the library's own header, so a change of signature
// there can't go unnoticed here.
using VoidFn = decltype(&vbmp3_init);
using OpenFn = decltype(&vbmp3_open);
using SetMixerFn = decltype(&vbmp3_setMixer);

}  // namespace

Mp3Library::~Mp3Library()
{
    if (!m_loaded) return;
    CallVoid(kFree);
    m_entries.fill(nullptr);
    m_setMixer = nullptr;
    m_library.reset();
    m_loaded = false;
}

bool Mp3Library::LoadMp3Library(LibraryLoader& loader, MessageBox& messages, const std::string& programDir)
{
    if (m_loaded) return true;

    if (!programDir.empty()) {
        std::string path = programDir;
        if (path.back() != '/') path += '/';
        path += kFileName;
        m_library = loader.Load(path);
    }
    if (!m_library) m_library = loader.Load(std::string(kFileName));
    if (!m_library) return false;

    for (size_t i = 0; i < kFunctionCount; ++i) {
        m_entries[i] = m_library->Symbol(kFunctionNames[i]);
        if (!m_entries[i]) {
            messages.Show("VBMP3.DLL ロードエラー",
                          std::string("関数 ") + kFunctionNames[i] + "() をインポートできません.",
                          MessageIcon::Error);
        }
    }
    // Not one of the bound functions: a library without it simply plays on its own.
    m_setMixer = m_library->Symbol("vbmp3_setMixer");

    m_loaded = true;
    CallVoid(kInit);
    return true;
}

template <typename Fn>
Fn Mp3Library::Entry(Function function) const
{
    if (!m_loaded) return nullptr;
    return reinterpret_cast<Fn>(m_entries[function]);
}

bool Mp3Library::CallVoid(Function function)
{
    const auto fn = Entry<VoidFn>(function);
    return fn && fn() != 0;
}

bool Mp3Library::Open(const std::string& fileName)
{
    const auto fn = Entry<OpenFn>(kOpen);
    if (!fn) return false;
    m_info.fill(0);
    return fn(fileName.c_str(), m_info.data()) != 0;
}

bool Mp3Library::Play()
{
    return CallVoid(kPlay);
}

bool Mp3Library::Stop()
{
    return CallVoid(kStop);
}

bool Mp3Library::Close()
{
    return CallVoid(kClose);
}

std::optional<int> Mp3Library::Version()
{
    const auto fn = Entry<VoidFn>(kGetVersion);
    if (!fn) return std::nullopt;
    return fn();
}

bool Mp3Library::SetMixer(void* mixer)
{
    if (!m_loaded || !m_setMixer) return false;
    return reinterpret_cast<SetMixerFn>(m_setMixer)(mixer) != 0;
}

}  // namespace kelva
