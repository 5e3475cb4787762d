// Sound files (WAVE in any encoding, bare MPEG audio) through the decoders the mixer plays
// from: open, decode a stretch, seek, rewind. The first byte picks the file's extension.
#include "FuzzSupport.h"
#include "sound/SoundDecoder.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const std::string path = fuzz::WriteInputFile(data + 1, size - 1, data[0] & 1 ? ".mp3" : ".wav");
    std::string error;
    std::unique_ptr<SoundDecoder> decoder = SoundDecoder::Open(path, 44100, error);
    if (!decoder) return 0;
    std::vector<float> buffer(2 * 4096);
    for (int block = 0; block < 16 && decoder->Read(buffer.data(), 4096) > 0; ++block) {
    }
    decoder->Seek(decoder->Frames() / 2);
    decoder->Read(buffer.data(), 4096);
    decoder->Rewind();
    decoder->Read(buffer.data(), 4096);
    return 0;
}
