/*
 * vbmp3: the MP3 and WAVE decoder library the player loads at run time
 * (libvbmp3.so). Plain C so that it can be looked up by name with dlsym.
 *
 * One sound at a time, process-wide: open a file, play it once, stop, close.
 * Functions returning int answer 1 for success and 0 for failure unless stated
 * otherwise. All calls come from one thread (the player's main thread).
 * File names are zero-terminated byte strings as the file system takes them.
 */
#ifndef KELVA_VBMP3_H
#define KELVA_VBMP3_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define VBMP3_API __attribute__((visibility("default")))
#else
#define VBMP3_API
#endif

/* Size in bytes of the information record vbmp3_open fills. */
#define VBMP3_INFO_SIZE 272

/* What vbmp3_getState answers. */
#define VBMP3_STATE_CLOSED 0  /* no file open */
#define VBMP3_STATE_STOPPED 1 /* a file is open and not playing */
#define VBMP3_STATE_PLAYING 2
#define VBMP3_STATE_PAUSED 3

/* The ID3 tag of the open file; texts are zero-terminated CP932 (ID3v2's Unicode
 * converted, ID3v1's bytes as stored), cut at a character boundary, empty when absent. */
typedef struct vbmp3_TagInfo {
    char title[128];
    char artist[128];
    char album[128];
    char year[8];
    char comment[128];
    int genre; /* ID3v1 genre number, -1 when absent */
} vbmp3_TagInfo;

/* The stream format of the open file. */
typedef struct vbmp3_MpegInfo {
    int version;    /* MPEG version times 10: 10, 20 or 25; 0 unless MPEG coded (PCM WAVE …) */
    int layer;      /* 1 to 3; 0 unless MPEG coded */
    int bitrate;    /* kilobits per second, average for variable rates */
    int sampleRate; /* samples per second */
    int channels;   /* 1 or 2 (of a file with more, the two that are played) */
    int totalMs;    /* length in milliseconds */
} vbmp3_MpegInfo;

/* What kind of file vbmp3_Info describes. */
#define VBMP3_KIND_MPEG 1  /* a bare MPEG audio stream (.mp3) */
#define VBMP3_KIND_WAVE 2  /* a RIFF WAVE file, whatever its encoding */
#define VBMP3_KIND_OTHER 3 /* another format the decoder reads (FLAC, Ogg Vorbis) */

/* The information record vbmp3_open fills: exactly VBMP3_INFO_SIZE bytes. Texts are
 * zero-terminated CP932, cut at a character boundary, empty without a tag. */
typedef struct vbmp3_Info {
    int size;              /* VBMP3_INFO_SIZE */
    int kind;              /* one of the VBMP3_KIND_ values */
    vbmp3_MpegInfo stream; /* as vbmp3_getMpegInfo answers it */
    char title[120];
    char artist[120];
} vbmp3_Info;

/* Prepares the library; call once before anything else. */
VBMP3_API int vbmp3_init(void);

/* Stops and closes any file and releases everything vbmp3_init took. */
VBMP3_API int vbmp3_free(void);

/* Opens an MP3 or WAVE file (FLAC and Ogg Vorbis are read too), closing any file
 * open before; the format is found from the content, not the name. `info` points to
 * VBMP3_INFO_SIZE bytes that the library fills as a vbmp3_Info (NULL: not filled);
 * the caller owns them. 0 when the file can't be read or decoded. */
VBMP3_API int vbmp3_open(const char* fileName, void* info);

/* Stops and closes the open file; 1 also when nothing was open. */
VBMP3_API int vbmp3_close(void);

/* One of the VBMP3_STATE_ values. When `seconds` isn't NULL it receives the playing
 * position in whole seconds (0 when closed). */
VBMP3_API int vbmp3_getState(int* seconds);

/* Plays the open file once from its start (or from the position vbmp3_seek set while
 * it stood still); playback runs on by itself and stops at the end. Called while
 * playing, paused or after the end, it starts again from the beginning. 0 when no file
 * is open or no audio device can be opened. */
VBMP3_API int vbmp3_play(void);

/* Stops playback and returns to the start; the file stays open. 0 when none is. */
VBMP3_API int vbmp3_stop(void);

/* Holds playback at its position. 0 when nothing is playing. */
VBMP3_API int vbmp3_pause(void);

/* Resumes paused playback. 0 when nothing is paused. */
VBMP3_API int vbmp3_restart(void);

/* Moves the playing position to `seconds` from the start, also while playing. 0 when
 * no file is open or it is shorter. */
VBMP3_API int vbmp3_seek(int seconds);

/* Sets the volume of the left and right channels, each 0 (silent) to 100 (full; the
 * start), for this and later files. */
VBMP3_API int vbmp3_setVolume(int left, int right);

/* The library's version v: major version v / 100, minor version v % 100. */
VBMP3_API int vbmp3_getVersion(void);

/* Fills `tag` from the open file. 0 when no file is open or it carries no tag. */
VBMP3_API int vbmp3_getTagInfo(vbmp3_TagInfo* tag);

/* Fills `info` from the open file. 0 when no file is open. */
VBMP3_API int vbmp3_getMpegInfo(vbmp3_MpegInfo* info);

/* The playing position in milliseconds; 0 when nothing is open. */
VBMP3_API int vbmp3_getWinampPlayMs(void);

/* The length of the open file in whole seconds; 0 when nothing is open. */
VBMP3_API int vbmp3_getWinampTotalSec(void);

/* Hands the library the player's mixer (a kelva::AudioMixer), which it plays into
 * instead of opening an audio device of its own. The mixer stays owned by the player
 * and must outlive the library's use of it (until vbmp3_free or the next
 * vbmp3_setMixer). NULL takes it back: the library then opens its own audio device on
 * the first vbmp3_play. A change of mixer closes any open file, which was decoded for
 * the old mixer's rate. */
VBMP3_API int vbmp3_setMixer(void* mixer);

#ifdef __cplusplus
}
#endif

#endif /* KELVA_VBMP3_H */
