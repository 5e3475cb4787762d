// The C entry points of libvbmp3.so: each forwards to the library's one Vbmp3Player,
// which exists between vbmp3_init and vbmp3_free. No exception crosses into the caller:
// a failure inside answers 0.
#include "vbmp3/vbmp3.h"

#include <memory>

#include "vbmp3/Vbmp3Player.h"

static_assert(sizeof(vbmp3_Info) == VBMP3_INFO_SIZE);

namespace {

std::unique_ptr<kelva::Vbmp3Player> g_player;

// Runs `call` on the player; `failed` when the library isn't initialised or the call throws.
template <typename Call>
int WithPlayer(Call call, int failed = 0)
{
    if (!g_player) return failed;
    try {
        return call(*g_player);
    } catch (...) {
        return failed;
    }
}

}  // namespace

extern "C" {

int vbmp3_init(void)
{
    try {
        if (!g_player) g_player = std::make_unique<kelva::Vbmp3Player>();
        return 1;
    } catch (...) {
        return 0;
    }
}

int vbmp3_free(void)
{
    g_player.reset();
    return 1;
}

int vbmp3_open(const char* fileName, void* info)
{
    return WithPlayer([&](auto& p) { return p.Open(fileName, static_cast<vbmp3_Info*>(info)); });
}

int vbmp3_close(void)
{
    return WithPlayer([](auto& p) {
        p.Close();
        return 1;
    });
}

int vbmp3_getState(int* seconds)
{
    if (seconds) *seconds = 0;
    return WithPlayer([&](auto& p) { return p.State(seconds); }, VBMP3_STATE_CLOSED);
}

int vbmp3_play(void)
{
    return WithPlayer([](auto& p) { return p.Play(); });
}

int vbmp3_stop(void)
{
    return WithPlayer([](auto& p) { return p.Stop(); });
}

int vbmp3_pause(void)
{
    return WithPlayer([](auto& p) { return p.Pause(); });
}

int vbmp3_restart(void)
{
    return WithPlayer([](auto& p) { return p.Restart(); });
}

int vbmp3_seek(int seconds)
{
    return WithPlayer([&](auto& p) { return p.Seek(seconds); });
}

int vbmp3_setVolume(int left, int right)
{
    return WithPlayer([&](auto& p) {
        p.SetVolume(left, right);
        return 1;
    });
}

int vbmp3_getVersion(void)
{
    return kelva::Vbmp3Player::kVersion;
}

int vbmp3_getTagInfo(vbmp3_TagInfo* tag)
{
    return WithPlayer([&](auto& p) { return p.TagInfo(tag); });
}

int vbmp3_getMpegInfo(vbmp3_MpegInfo* info)
{
    return WithPlayer([&](auto& p) { return p.MpegInfo(info); });
}

int vbmp3_getWinampPlayMs(void)
{
    return WithPlayer([](auto& p) { return p.PlayMs(); });
}

int vbmp3_getWinampTotalSec(void)
{
    return WithPlayer([](auto& p) { return p.TotalSeconds(); });
}

int vbmp3_setMixer(void* mixer)
{
    return WithPlayer([&](auto& p) {
        p.SetMixer(static_cast<kelva::AudioMixer*>(mixer));
        return 1;
    });
}

}  // extern "C"
