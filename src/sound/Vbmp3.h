// The binding of the MP3/WAVE decoder library (libvbmp3.so), loaded by name at run time.
// The player owns one Mp3Library for the whole run; when the library is missing every
// operation does nothing and sounds go to the wave player instead.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/LibraryLoader.h"
#include "platform/MessageBox.h"

namespace kelva {

class Mp3Library {
public:
    // The bound functions in the order they are looked up.
    static constexpr size_t kFunctionCount = 16;
    static const std::array<const char*, kFunctionCount> kFunctionNames;
    // The file name of the library.
    static constexpr std::string_view kFileName = "libvbmp3.so";
    // Size of the information record handed to vbmp3_open; the player never reads it.
    static constexpr size_t kInfoSize = 272;

    Mp3Library() = default;
    // Releases the library as at program end: vbmp3_free(), then unloads it.
    ~Mp3Library();
    Mp3Library(const Mp3Library&) = delete;
    Mp3Library& operator=(const Mp3Library&) = delete;

    // Binds the library once; does nothing when it is already loaded. Looks for it in
    // `programDir` (the folder of the player's executable; skipped when empty), then
    // on the system's search path. Not found: stays unloaded without a message. Found:
    // each of the 16 functions it lacks is reported in its own error box on `messages`,
    // the library counts as loaded all the same, and vbmp3_init() is called.
    // Returns IsMp3LibraryLoaded().
    bool LoadMp3Library(LibraryLoader& loader, MessageBox& messages, const std::string& programDir);
    bool IsMp3LibraryLoaded() const { return m_loaded; }

    // The calls below do nothing and answer false (Version: nullopt) while the library
    // is unloaded or lacks the function. Their results may be ignored: a sound that
    // can't be opened or played is simply not heard.

    // Opens an MP3 or WAVE file (a zero-terminated CP932 path), with a freshly zeroed
    // information record that lives in this object until the next Open.
    bool Open(const std::string& fileName);
    bool Play();
    bool Stop();
    bool Close();
    // The library's version number: major = v / 100, minor = v % 100.
    std::optional<int> Version();
    // Hands the library the player's mixer (the library's extra vbmp3_setMixer; no
    // message when it is missing). `mixer` is borrowed and must outlive the library.
    bool SetMixer(void* mixer);

private:
    // Indices into kFunctionNames / m_entries.
    enum Function : size_t {
        kInit,
        kFree,
        kOpen,
        kClose,
        kGetState,
        kPlay,
        kStop,
        kPause,
        kRestart,
        kSeek,
        kSetVolume,
        kGetVersion,
        kGetTagInfo,
        kGetMpegInfo,
        kGetWinampPlayMs,
        kGetWinampTotalSec,
    };

    // The entry point of a bound function cast to its C type, or nullptr.
    template <typename Fn>
    Fn Entry(Function function) const;
    // Calls an int(void) entry point; false when it is empty.
    bool CallVoid(Function function);

    bool m_loaded = false;
    std::unique_ptr<DynamicLibrary> m_library;
    std::array<void*, kFunctionCount> m_entries{};
    void* m_setMixer = nullptr;
    std::array<unsigned char, kInfoSize> m_info{};
};

}  // namespace kelva
