#include "graphics/RunCommon.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define KELVA_X86 1
#include <immintrin.h>
#endif

namespace kelva {

namespace {

// The arithmetic paths divide by 50 as (x * 1311) >> 16, exact for every x up to
// 50 * 63 = 3150: the multiplier overshoots 1/50 by less than 1/65536, which adds under
// 0.014 to a quotient whose fraction is at most 49/50. With x = factor * value, one
// 16-bit high multiply of the value by factor * 1311 does it all, as long as that
// product fits 16 bits: factors up to 49. A factor of 50 only arises at step 0 (the old
// value alone) and step 50 (the new value alone), where the result is the value with its
// low two bits cleared.
constexpr int kDivide50 = 1311;

inline short ScaledFactor(int factor)
{
    return static_cast<short>(static_cast<uint16_t>(factor * kDivide50));
}

// ---- Table (reference) spans ------------------------------------------------------------

void BlendSpanTable(const BlendTable& blend, int step, const uint8_t* fresh, const uint8_t* old, uint8_t* out,
                    size_t count)
{
    for (size_t i = 0; i < count; ++i) out[i] = blend.At(step, fresh[i] >> 2, old[i] >> 2);
}

// `bgr` is the colour as stored (blue, green, red); `channel` is the channel of out[0].
void TintSpanTable(const BlendTable& blend, int step, const uint8_t* bgr, uint8_t* out, size_t count,
                   int channel)
{
    const uint8_t* rows[3] = {blend.Row(step, bgr[0] >> 2), blend.Row(step, bgr[1] >> 2),
                              blend.Row(step, bgr[2] >> 2)};
    for (size_t i = 0; i < count; ++i) {
        out[i] = rows[channel][out[i] >> 2];
        if (++channel == 3) channel = 0;
    }
}

// Word patterns for the tint's constant term: a vector of 16-bit lanes covers two bytes
// per lane, the low byte (even offset) and the high byte (odd offset). For a vector whose
// first byte has channel `phase`, lane j's low byte has channel (phase + 2j) % 3 and its
// high byte (phase + 2j + 1) % 3.
struct TintPattern {
    alignas(32) uint16_t low[3][16];
    alignas(32) uint16_t high[3][16];

    TintPattern(int step, const uint8_t* bgr)
    {
        int term[3];
        for (int c = 0; c < 3; ++c) term[c] = step * (bgr[c] >> 2) / 50;
        for (int phase = 0; phase < 3; ++phase) {
            for (int j = 0; j < 16; ++j) {
                low[phase][j] = static_cast<uint16_t>(term[(phase + 2 * j) % 3]);
                high[phase][j] = static_cast<uint16_t>(term[(phase + 2 * j + 1) % 3]);
            }
        }
    }
};

#ifdef KELVA_X86

// ---- SSE2: 16 bytes at a time -------------------------------------------------------------
// Each byte b is mixed as 4 * (s * (b >> 2) / 50 + ...): the even bytes of a 16-bit lane
// are taken as ((lane >> 2) & 63), the odd ones as (lane >> 10), and put back with the
// results shifted left by 2 and 10.

// factor * value / 50 for values 0..63, given ScaledFactor(factor).
inline __m128i Scale50Sse2(__m128i values64, __m128i scaledFactor)
{
    return _mm_mulhi_epu16(values64, scaledFactor);
}

size_t QuantiseSpanSse2(const uint8_t* from, uint8_t* out, size_t count)
{
    const __m128i keep = _mm_set1_epi8(static_cast<char>(0xFC));
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_and_si128(v, keep));
    }
    return i;
}

size_t BlendSpanSse2(int step, const uint8_t* fresh, const uint8_t* old, uint8_t* out, size_t count)
{
    if (step == 0) return QuantiseSpanSse2(old, out, count);
    if (step == 50) return QuantiseSpanSse2(fresh, out, count);
    const __m128i sNew = _mm_set1_epi16(ScaledFactor(step));
    const __m128i sOld = _mm_set1_epi16(ScaledFactor(50 - step));
    const __m128i low6 = _mm_set1_epi16(0x3F);
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fresh + i));
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(old + i));
        const __m128i even = _mm_add_epi16(Scale50Sse2(_mm_and_si128(_mm_srli_epi16(n, 2), low6), sNew),
                                           Scale50Sse2(_mm_and_si128(_mm_srli_epi16(o, 2), low6), sOld));
        const __m128i odd =
            _mm_add_epi16(Scale50Sse2(_mm_srli_epi16(n, 10), sNew), Scale50Sse2(_mm_srli_epi16(o, 10), sOld));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(_mm_slli_epi16(even, 2), _mm_slli_epi16(odd, 10)));
    }
    return i;
}

inline __m128i TintVectorSse2(__m128i o, __m128i low, __m128i high, __m128i sOld)
{
    const __m128i low6 = _mm_set1_epi16(0x3F);
    const __m128i even = _mm_add_epi16(low, Scale50Sse2(_mm_and_si128(_mm_srli_epi16(o, 2), low6), sOld));
    const __m128i odd = _mm_add_epi16(high, Scale50Sse2(_mm_srli_epi16(o, 10), sOld));
    return _mm_or_si128(_mm_slli_epi16(even, 2), _mm_slli_epi16(odd, 10));
}

size_t TintSpanSse2(int step, const TintPattern& pattern, uint8_t* out, size_t count)
{
    if (step == 0) return QuantiseSpanSse2(out, out, count);
    const __m128i sOld = _mm_set1_epi16(ScaledFactor(50 - step));
    __m128i low[3], high[3];
    for (int phase = 0; phase < 3; ++phase) {
        low[phase] = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern.low[phase]));
        high[phase] = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern.high[phase]));
    }
    // 48 bytes (16 pixels) at a time, so each vector keeps its own phase: 0, 1, 2.
    size_t i = 0;
    for (; i + 48 <= count; i += 48) {
        for (int k = 0; k < 3; ++k) {
            __m128i* at = reinterpret_cast<__m128i*>(out + i + 16 * k);
            _mm_storeu_si128(at, TintVectorSse2(_mm_loadu_si128(at), low[k], high[k], sOld));
        }
    }
    for (int k = 0; i + 16 <= count; i += 16, ++k) {
        __m128i* at = reinterpret_cast<__m128i*>(out + i);
        _mm_storeu_si128(at, TintVectorSse2(_mm_loadu_si128(at), low[k], high[k], sOld));
    }
    return i;
}

// ---- AVX2: 32 bytes at a time, the same arithmetic ---------------------------------------

__attribute__((target("avx2"))) inline __m256i Scale50Avx2(__m256i values64, __m256i scaledFactor)
{
    return _mm256_mulhi_epu16(values64, scaledFactor);
}

__attribute__((target("avx2"))) size_t QuantiseSpanAvx2(const uint8_t* from, uint8_t* out, size_t count)
{
    const __m256i keep = _mm256_set1_epi8(static_cast<char>(0xFC));
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_and_si256(v, keep));
    }
    return i;
}

__attribute__((target("avx2"))) size_t BlendSpanAvx2(int step, const uint8_t* fresh, const uint8_t* old,
                                                     uint8_t* out, size_t count)
{
    if (step == 0) return QuantiseSpanAvx2(old, out, count);
    if (step == 50) return QuantiseSpanAvx2(fresh, out, count);
    const __m256i sNew = _mm256_set1_epi16(ScaledFactor(step));
    const __m256i sOld = _mm256_set1_epi16(ScaledFactor(50 - step));
    const __m256i low6 = _mm256_set1_epi16(0x3F);
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(fresh + i));
        const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(old + i));
        const __m256i even =
            _mm256_add_epi16(Scale50Avx2(_mm256_and_si256(_mm256_srli_epi16(n, 2), low6), sNew),
                             Scale50Avx2(_mm256_and_si256(_mm256_srli_epi16(o, 2), low6), sOld));
        const __m256i odd = _mm256_add_epi16(Scale50Avx2(_mm256_srli_epi16(n, 10), sNew),
                                             Scale50Avx2(_mm256_srli_epi16(o, 10), sOld));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_or_si256(_mm256_slli_epi16(even, 2), _mm256_slli_epi16(odd, 10)));
    }
    return i;
}

__attribute__((target("avx2"))) inline __m256i TintVectorAvx2(__m256i o, __m256i low, __m256i high,
                                                              __m256i sOld)
{
    const __m256i low6 = _mm256_set1_epi16(0x3F);
    const __m256i even =
        _mm256_add_epi16(low, Scale50Avx2(_mm256_and_si256(_mm256_srli_epi16(o, 2), low6), sOld));
    const __m256i odd = _mm256_add_epi16(high, Scale50Avx2(_mm256_srli_epi16(o, 10), sOld));
    return _mm256_or_si256(_mm256_slli_epi16(even, 2), _mm256_slli_epi16(odd, 10));
}

__attribute__((target("avx2"))) size_t TintSpanAvx2(int step, const TintPattern& pattern, uint8_t* out,
                                                    size_t count)
{
    if (step == 0) return QuantiseSpanAvx2(out, out, count);
    const __m256i sOld = _mm256_set1_epi16(ScaledFactor(50 - step));
    __m256i low[3], high[3];
    for (int phase = 0; phase < 3; ++phase) {
        low[phase] = _mm256_load_si256(reinterpret_cast<const __m256i*>(pattern.low[phase]));
        high[phase] = _mm256_load_si256(reinterpret_cast<const __m256i*>(pattern.high[phase]));
    }
    // 96 bytes (32 pixels) at a time; the vectors at 0, 32 and 64 start on phases 0, 2, 1.
    constexpr int kPhase[3] = {0, 2, 1};
    size_t i = 0;
    for (; i + 96 <= count; i += 96) {
        for (int k = 0; k < 3; ++k) {
            __m256i* at = reinterpret_cast<__m256i*>(out + i + 32 * k);
            _mm256_storeu_si256(
                at, TintVectorAvx2(_mm256_loadu_si256(at), low[kPhase[k]], high[kPhase[k]], sOld));
        }
    }
    for (int k = 0; i + 32 <= count; i += 32, ++k) {
        __m256i* at = reinterpret_cast<__m256i*>(out + i);
        _mm256_storeu_si256(at,
                            TintVectorAvx2(_mm256_loadu_si256(at), low[kPhase[k]], high[kPhase[k]], sOld));
    }
    return i;
}

#endif  // KELVA_X86

PixelPath DetectPixelPath()
{
#ifdef KELVA_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return PixelPath::Avx2;
    return PixelPath::Sse2;
#else
    return PixelPath::Table;
#endif
}

PixelPath Usable(PixelPath path)
{
    return PixelPathSupported(path) ? path : PixelPath::Table;
}

void BlendSpan(PixelPath path, const BlendTable& blend, int step, const uint8_t* fresh, const uint8_t* old,
               uint8_t* out, size_t count)
{
    size_t done = 0;
#ifdef KELVA_X86
    if (path == PixelPath::Avx2) {
        done = BlendSpanAvx2(step, fresh, old, out, count);
    } else if (path == PixelPath::Sse2) {
        done = BlendSpanSse2(step, fresh, old, out, count);
    }
#else
    (void)path;
#endif
    BlendSpanTable(blend, step, fresh + done, old + done, out + done, count - done);
}

// `out` starts with a blue byte.
void TintSpan(PixelPath path, const BlendTable& blend, int step, const uint8_t* bgr,
              [[maybe_unused]] const TintPattern& pattern, uint8_t* out, size_t count)
{
    size_t done = 0;
#ifdef KELVA_X86
    if (path == PixelPath::Avx2) {
        done = TintSpanAvx2(step, pattern, out, count);
    } else if (path == PixelPath::Sse2) {
        done = TintSpanSse2(step, pattern, out, count);
    }
#else
    (void)path;
#endif
    TintSpanTable(blend, step, bgr, out + done, count - done, static_cast<int>(done % 3));
}

bool AllTrueColour(const TNkDIB& a, const TNkDIB& b)
{
    return a.BitCount() == 24 && b.BitCount() == 24;
}

}  // namespace

PixelPath DefaultPixelPath()
{
    static const PixelPath path = DetectPixelPath();
    return path;
}

bool PixelPathSupported(PixelPath path)
{
    switch (path) {
        case PixelPath::Table:
            return true;
        case PixelPath::Sse2:
            return DefaultPixelPath() != PixelPath::Table;
        case PixelPath::Avx2:
            return DefaultPixelPath() == PixelPath::Avx2;
    }
    return false;
}

void CopyRect(const TNkDIB& source, TNkDIB& destination, const TRect& inclusive)
{
    // Right and bottom are inclusive here; widen them once in 64 bits so that a rectangle
    // reaching INT_MAX cannot overflow.
    const int right = static_cast<int>(std::min<int64_t>(int64_t{inclusive.Right} + 1, INT32_MAX));
    const int bottom = static_cast<int>(std::min<int64_t>(int64_t{inclusive.Bottom} + 1, INT32_MAX));
    const TRect area = TRect{inclusive.Left, inclusive.Top, right, bottom}
                           .Intersect(source.BoundsRect())
                           .Intersect(destination.BoundsRect());
    if (area.IsEmpty() || &source == &destination) return;
    if (!AllTrueColour(source, destination)) {
        destination.CopyRect(area, source, area);
        return;
    }
    const size_t offset = static_cast<size_t>(area.Left) * 3;
    const size_t bytes = static_cast<size_t>(area.Width()) * 3;
    for (int y = area.Top; y < area.Bottom; ++y)
        std::memcpy(destination.ScanLine(y) + offset, source.ScanLine(y) + offset, bytes);
}

void MaskedCopy(const TNkDIB& source, TNkDIB& destination, const TNkDIB& mask1bit, const TRect& rect)
{
    if (mask1bit.BitCount() != 1 || !AllTrueColour(source, destination)) return;
    const TRect area = rect.Intersect(source.BoundsRect())
                           .Intersect(destination.BoundsRect())
                           .Intersect(mask1bit.BoundsRect());
    if (area.IsEmpty() || &source == &destination) return;
    for (int y = area.Top; y < area.Bottom; ++y) {
        const uint8_t* bits = mask1bit.ScanLine(y);
        const uint8_t* from = source.ScanLine(y);
        uint8_t* to = destination.ScanLine(y);
        int x = area.Left;
        while (x < area.Right) {
            // Whole mask bytes are the rule in the sweeping masks: copy or skip 8 at once.
            if ((x & 7) == 0 && x + 8 <= area.Right) {
                const uint8_t byte = bits[x >> 3];
                if (byte == 0xFF) {
                    std::memcpy(to + x * 3, from + x * 3, 24);
                    x += 8;
                    continue;
                }
                if (byte == 0) {
                    x += 8;
                    continue;
                }
            }
            if ((bits[x >> 3] >> (7 - (x & 7))) & 1) std::memcpy(to + x * 3, from + x * 3, 3);
            ++x;
        }
    }
}

void BlendFrameUsing(PixelPath path, const BlendTable& blend, const TNkDIB& newImage, const TNkDIB& oldImage,
                     TNkDIB& destination, int strength)
{
    if (!AllTrueColour(newImage, oldImage) || destination.BitCount() != 24) return;
    const int width = std::min({newImage.Width(), oldImage.Width(), destination.Width()});
    const int height = std::min({newImage.Height(), oldImage.Height(), destination.Height()});
    if (width <= 0 || height <= 0) return;
    strength = std::clamp(strength, 0, 100);
    if (strength == 100) {
        CopyRect(newImage, destination, {0, 0, width - 1, height - 1});
        return;
    }

    path = Usable(path);
    const int step = BlendTable::Step(strength);
    const bool sameShape = newImage.Width() == width && oldImage.Width() == width &&
                           destination.Width() == width && newImage.Height() == height &&
                           oldImage.Height() == height && destination.Height() == height;
    if (sameShape) {
        // One run over all rows: the row padding is blended too, which is harmless, and the
        // vector loop never stops at a row end.
        BlendSpan(path, blend, step, newImage.Bits(), oldImage.Bits(), destination.Bits(),
                  static_cast<size_t>(destination.Stride()) * static_cast<size_t>(height));
        return;
    }
    const size_t bytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        BlendSpan(path, blend, step, newImage.ScanLine(y), oldImage.ScanLine(y), destination.ScanLine(y),
                  bytes);
}

void BlendFrame(const BlendTable& blend, const TNkDIB& newImage, const TNkDIB& oldImage, TNkDIB& destination,
                int strength)
{
    BlendFrameUsing(DefaultPixelPath(), blend, newImage, oldImage, destination, strength);
}

void TintUsing(PixelPath path, const BlendTable& blend, TNkDIB& image, const TRect& rect, TColor colour,
               int strength)
{
    if (strength <= 0 || image.BitCount() != 24) return;
    const TRect area = rect.Intersect(image.BoundsRect());
    if (area.IsEmpty()) return;

    path = Usable(path);
    const int step = BlendTable::Step(strength);
    const uint8_t bgr[3] = {static_cast<uint8_t>(ColorBlue(colour)), static_cast<uint8_t>(ColorGreen(colour)),
                            static_cast<uint8_t>(ColorRed(colour))};
    const TintPattern pattern(step, bgr);
    const size_t offset = static_cast<size_t>(area.Left) * 3;
    const size_t bytes = static_cast<size_t>(area.Width()) * 3;
    for (int y = area.Top; y < area.Bottom; ++y)
        TintSpan(path, blend, step, bgr, pattern, image.ScanLine(y) + offset, bytes);
}

void Tint(const BlendTable& blend, TNkDIB& image, const TRect& rect, TColor colour, int strength)
{
    TintUsing(DefaultPixelPath(), blend, image, rect, colour, strength);
}

void DrawColourKeyed(const TNkDIB& source, const TRect& sourceRect, TNkDIB& destination, int x, int y,
                     TColor key)
{
    if (destination.BitCount() != 24) return;
    const TRect from = sourceRect.Intersect(source.BoundsRect());
    for (int sy = from.Top; sy < from.Bottom; ++sy) {
        const int64_t ty = int64_t{y} + (sy - sourceRect.Top);
        if (ty < 0 || ty >= destination.Height()) continue;
        uint8_t* line = destination.ScanLine(static_cast<int>(ty));
        for (int sx = from.Left; sx < from.Right; ++sx) {
            const int64_t tx = int64_t{x} + (sx - sourceRect.Left);
            if (tx < 0 || tx >= destination.Width()) continue;
            // Per pixel through the image class: the picture may come in any format, and
            // these are small pictures drawn once or a few times a second.
            const TColor colour = source.Pixel(sx, sy);
            if (colour == kInvalidColor || colour == key) continue;
            uint8_t* pixel = line + tx * 3;
            pixel[0] = static_cast<uint8_t>(ColorBlue(colour));
            pixel[1] = static_cast<uint8_t>(ColorGreen(colour));
            pixel[2] = static_cast<uint8_t>(ColorRed(colour));
        }
    }
}

void DrawKeyWaitIcon(const TNkDIB& keyWaitImage, TNkDIB& destination, int x, int y, int frame)
{
    const int64_t firstColumn = int64_t{frame} * kKeyWaitIconSize;
    if (firstColumn < 0 || firstColumn >= keyWaitImage.Width()) return;
    DrawColourKeyed(keyWaitImage,
                    TRect::Bounds(static_cast<int>(firstColumn), 0, kKeyWaitIconSize, kKeyWaitIconSize),
                    destination, x, y, MakeColor(255, 255, 255));
}

}  // namespace kelva
