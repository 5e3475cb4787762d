// JPEG decoding with libjpeg(-turbo).
//
// libjpeg reports fatal errors through a callback that must not return. Throwing a C++
// exception through the library's C frames is undefined, so the callback longjmps back
// to RunDecode, and everything between that setjmp and the library lives in one
// trivially destructible DecodeJob: a longjmp skips no destructor.
#include <cstdio>  // jpeglib.h needs FILE

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

#include "platform/JpegDecoder.h"

namespace kelva {

namespace {

// Progressive pictures keep all coefficients in memory: 128 bytes a block, so 128 MB for
// a picture at the pixel limit with four full-resolution components. The rest is the
// library's working buffers.
constexpr long kMaxDecoderMemory = 160L * 1024 * 1024;
// Each scan is a pass over the blocks of its components, however few bytes it holds, so a
// file of many tiny scans costs far more than its size suggests. The usual progressive
// scripts pass over each block 6 to 8 times; twice that is allowed on average.
constexpr int64_t kMaxPassesPerBlock = 16;
// Rows handed to the library per call (its own row groups are at most 4 rows).
constexpr int kRowsPerCall = 16;

struct ErrorManager {
    jpeg_error_mgr pub;  // first, so the library's pointer can be cast back
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

struct DecodeJob {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    jpeg_progress_mgr progress;
    const uint8_t* data;
    size_t size;
    std::vector<uint8_t>* pixels;  // the result's buffer, grown as rows arrive
    size_t stride;
    int allocatedRows;
    int countedScans;     // scans whose blocks are in `blockPasses`
    int64_t blockPasses;  // blocks the scans so far pass over
    int64_t maxBlockPasses;
};

[[noreturn]] void FailWith(j_common_ptr cinfo, const char* text)
{
    auto* error = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(error->message, sizeof error->message, "%s", text);
    std::longjmp(error->jump, 1);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* error = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, error->message);
    std::longjmp(error->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0) return;  // trace messages
    // When the compressed data run out before the last row, the library fills the rest
    // with grey and calls it a warning. That is a broken file here. A missing end marker
    // alone (the data complete) only gives the end-of-file warning, which is harmless.
    if (cinfo->err->msg_code == JWRN_HIT_MARKER) FailWith(cinfo, "premature end of data");
    cinfo->err->num_warnings++;
}

void OutputMessage(j_common_ptr) {}  // never print to the terminal

int64_t Blocks(const jpeg_component_info& component)
{
    return static_cast<int64_t>(component.width_in_blocks) * component.height_in_blocks;
}

// Called before each piece of input is decoded, so a new scan is counted before any of
// its blocks are.
void CheckProgress(j_common_ptr cinfo)
{
    auto* job = static_cast<DecodeJob*>(cinfo->client_data);
    const jpeg_decompress_struct& d = job->cinfo;
    if (d.input_scan_number == job->countedScans) return;
    job->countedScans = d.input_scan_number;
    for (int i = 0; i < d.comps_in_scan; ++i) job->blockPasses += Blocks(*d.cur_comp_info[i]);
    if (job->blockPasses > job->maxBlockPasses) FailWith(cinfo, "too many scans for the picture's size");
}

// Makes room for `rows` rows at least, doubling so that growing row by row stays cheap.
// Growing as rows arrive keeps a short file that claims a huge picture from allocating
// the whole picture before its data runs out.
bool GrowRows(DecodeJob* job, int rows)
{
    const int height = static_cast<int>(job->cinfo.output_height);
    const int target = std::min(height, std::max({rows, job->allocatedRows * 2, 64}));
    try {
        job->pixels->resize(static_cast<size_t>(target) * job->stride);
    } catch (const std::bad_alloc&) {
        return false;
    }
    job->allocatedRows = target;
    return true;
}

// Converts one row of the decoder's CMYK samples to blue, green, red. Adobe's files (the
// ones that carry the Adobe marker) store the inks inverted.
void CmykToBgr(const JSAMPLE* cmyk, uint8_t* bgr, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        bgr[0] = static_cast<uint8_t>((y * k + 127) / 255);
        bgr[1] = static_cast<uint8_t>((m * k + 127) / 255);
        bgr[2] = static_cast<uint8_t>((c * k + 127) / 255);
    }
}

// The only function with a setjmp. It holds no object with a destructor; its caller
// destroys the decompressor whether it returns true or false.
bool RunDecode(DecodeJob* job)
{
    j_decompress_ptr cinfo = &job->cinfo;
    if (setjmp(job->error.jump)) return false;

    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kMaxDecoderMemory;
    cinfo->progress = &job->progress;
    jpeg_mem_src(cinfo, job->data, static_cast<unsigned long>(job->size));
    jpeg_read_header(cinfo, TRUE);

    if (cinfo->image_width > static_cast<JDIMENSION>(kMaxPictureSide) ||
        cinfo->image_height > static_cast<JDIMENSION>(kMaxPictureSide) ||
        static_cast<int64_t>(cinfo->image_width) * cinfo->image_height > kMaxPicturePixels) {
        FailWith(reinterpret_cast<j_common_ptr>(cinfo), "picture too large");
    }
    // An arithmetic-coded scan may legally stop short and be read on as zeros, so missing
    // or cut-off data can't be told from a real picture. Hardly any writer uses it.
    if (cinfo->arith_code)
        FailWith(reinterpret_cast<j_common_ptr>(cinfo), "arithmetic coding is not supported");
    int64_t blocks = 0;
    for (int i = 0; i < cinfo->num_components; ++i) blocks += Blocks(cinfo->comp_info[i]);
    job->maxBlockPasses = kMaxPassesPerBlock * blocks;

    bool cmyk = false;
    switch (cinfo->jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            cinfo->out_color_space = JCS_EXT_BGR;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            cinfo->out_color_space = JCS_CMYK;
            cmyk = true;
            break;
        default:
            FailWith(reinterpret_cast<j_common_ptr>(cinfo), "unsupported colour space");
    }
    cinfo->dct_method = JDCT_IFAST;
    cinfo->do_fancy_upsampling = FALSE;
    cinfo->do_block_smoothing = FALSE;
    cinfo->buffered_image = FALSE;
    cinfo->quantize_colors = FALSE;
    cinfo->scale_num = cinfo->scale_denom = 1;

    jpeg_start_decompress(cinfo);
    const int width = static_cast<int>(cinfo->output_width);
    const int height = static_cast<int>(cinfo->output_height);
    job->stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);

    JSAMPROW cmykRows[kRowsPerCall];
    if (cmyk) {
        JSAMPARRAY rows = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                      static_cast<JDIMENSION>(width) * 4, kRowsPerCall);
        std::copy(rows, rows + kRowsPerCall, cmykRows);
    }

    while (cinfo->output_scanline < cinfo->output_height) {
        const int first = static_cast<int>(cinfo->output_scanline);
        const int count = std::min(kRowsPerCall, height - first);
        if (first + count > job->allocatedRows && !GrowRows(job, first + count)) {
            FailWith(reinterpret_cast<j_common_ptr>(cinfo), "out of memory");
        }
        uint8_t* base = job->pixels->data() + static_cast<size_t>(first) * job->stride;
        JSAMPROW rows[kRowsPerCall];
        for (int i = 0; i < count; ++i) rows[i] = cmyk ? cmykRows[i] : base + i * job->stride;
        const int done = static_cast<int>(jpeg_read_scanlines(cinfo, rows, static_cast<JDIMENSION>(count)));
        if (cmyk) {
            for (int i = 0; i < done; ++i) {
                CmykToBgr(cmykRows[i], base + i * job->stride, width, cinfo->saw_Adobe_marker);
            }
        }
    }
    // Every row is there; what follows (the end marker) needn't be read.
    return true;
}

}  // namespace

JpegDecodeResult DecodeJpeg(const uint8_t* data, size_t size)
{
    JpegDecodeResult result;
    if (data == nullptr || size == 0) {
        result.Error = "no data";
        return result;
    }
    auto job = std::make_unique<DecodeJob>();  // value-initialised: all zero
    job->data = data;
    job->size = size;
    job->pixels = &result.Picture.Pixels;
    job->cinfo.err = jpeg_std_error(&job->error.pub);
    job->error.pub.error_exit = ErrorExit;
    job->error.pub.emit_message = EmitMessage;
    job->error.pub.output_message = OutputMessage;
    job->progress.progress_monitor = CheckProgress;
    job->cinfo.client_data = job.get();

    const bool ok = RunDecode(job.get());
    if (ok) {
        result.Picture.Width = static_cast<int>(job->cinfo.output_width);
        result.Picture.Height = static_cast<int>(job->cinfo.output_height);
        result.Picture.Stride = static_cast<int>(job->stride);
        result.Picture.Pixels.resize(job->stride * job->cinfo.output_height);
    } else {
        result.Error = job->error.message[0] != '\0' ? job->error.message : "unknown error";
        result.Picture = DecodedPicture{};
    }
    // Safe on a decompressor that was never (or only partly) created: the job was zeroed.
    jpeg_destroy_decompress(&job->cinfo);
    return result;
}

}  // namespace kelva
