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

/* The ID3 tag of the open file; texts are zero-terminated, empty when absent. */
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
    int version;    /* MPEG version times 10: 10, 20 or 25; 0 for a WAVE file */
    int layer;      /* 1 to 3; 0 for a WAVE file */
    int bitrate;    /* kilobits per second, average for variable rates */
    int sampleRate; /* samples per second */
    int channels;   /* 1 or 2 */
    int totalMs;    /* length in milliseconds */
} vbmp3_MpegInfo;

/* Prepares the library; call once before anything else. */
VBMP3_API int vbmp3_init(void);

/* Stops and closes any file and releases everything vbmp3_init took. */
VBMP3_API int vbmp3_free(void);

/* Opens an MP3 or WAVE file, closing any file open before. `info` points to
 * VBMP3_INFO_SIZE bytes that the library fills with a description of the file;
 * the caller owns them and keeps them until vbmp3_close. 0 when the file can't be
 * read or decoded. */
VBMP3_API int vbmp3_open(const char* fileName, void* info);

/* Stops and closes the open file; 1 also when nothing was open. */
VBMP3_API int vbmp3_close(void);

/* One of the VBMP3_STATE_ values. When `seconds` isn't NULL it receives the playing
 * position in whole seconds (0 when closed). */
VBMP3_API int vbmp3_getState(int* seconds);

/* Plays the open file once from its start (or from the position vbmp3_seek set);
 * playback runs on by itself and stops at the end. 0 when no file is open. */
VBMP3_API int vbmp3_play(void);

/* Stops playback and returns to the start; the file stays open. */
VBMP3_API int vbmp3_stop(void);

/* Holds playback at its position. */
VBMP3_API int vbmp3_pause(void);

/* Resumes paused playback. */
VBMP3_API int vbmp3_restart(void);

/* Moves the playing position to `seconds` from the start. */
VBMP3_API int vbmp3_seek(int seconds);

/* Sets the volume of the left and right channels, each 0 (silent) to 100 (full). */
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

/* Hands the library the player's mixer, which it plays into instead of opening an
 * audio device of its own; used later. The mixer stays owned by the player and must
 * outlive the library's use of it (until vbmp3_free). NULL takes it back. */
VBMP3_API int vbmp3_setMixer(void* mixer);

#ifdef __cplusplus
}
#endif

#endif /* KELVA_VBMP3_H */
