// Leaks of the system libraries that tests provoke on purpose and that no caller can
// free, so that LeakSanitizer (the address-sanitizer build) reports only our own.
//
// libsndfile 1.2.0 leaks the Vorbis stream information (about 6 KB) when it gives up
// on a damaged Ogg Vorbis file in sf_open; the sound decoder tests feed it such files.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:vorbis_info_init\n";
}
