#include "support/HostilePictures.h"

#include <algorithm>
#include <initializer_list>

namespace kelva::test {

namespace {

void Marker(std::vector<uint8_t>& out, uint8_t code, std::initializer_list<uint8_t> body)
{
    const size_t length = body.size() + 2;
    out.insert(out.end(), {0xFF, code, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
    out.insert(out.end(), body);
}

// Entropy-coded bits, most significant first, with the zero byte stuffed after each 0xFF.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : m_out(out) {}
    ~BitWriter()
    {
        while (m_count != 0) Put(1, 1);  // pad the last byte with ones
    }
    void Put(uint32_t bits, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = static_cast<uint8_t>(m_byte << 1 | ((bits >> i) & 1));
            if (++m_count < 8) continue;
            m_out.push_back(m_byte);
            if (m_byte == 0xFF) m_out.push_back(0);
            m_byte = 0, m_count = 0;
        }
    }

private:
    std::vector<uint8_t>& m_out;
    uint8_t m_byte = 0;
    int m_count = 0;
};

size_t FindMarker(const std::vector<uint8_t>& jpeg, uint8_t code)
{
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i;
    return jpeg.size();
}

}  // namespace

std::vector<uint8_t> ManyScanJpeg(int width, int height, int acScans, int emptyScan)
{
    const int64_t blocks = static_cast<int64_t>((width + 7) / 8) * ((height + 7) / 8);
    std::vector<uint8_t> out = {0xFF, 0xD8};
    std::vector<uint8_t> table(65, 1);
    table[0] = 0;  // 8-bit table 0
    out.insert(out.end(), {0xFF, 0xDB, 0, 67});
    out.insert(out.end(), table.begin(), table.end());
    Marker(out, 0xC2,
           {8, static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height),
            static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width), 1, 1, 0x11, 0});
    // One-symbol tables: code "0" is a DC difference of 0, or an end-of-band run with 14
    // more bits (up to 32767 blocks).
    Marker(out, 0xC4, {0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00});
    Marker(out, 0xC4, {0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0});

    Marker(out, 0xDA, {1, 1, 0x00, 0, 0, 0x00});
    {
        BitWriter bits(out);
        for (int64_t i = 0; i < blocks; ++i) bits.Put(0, 1);
    }
    for (int scan = 0; scan < acScans; ++scan) {
        const auto band = static_cast<uint8_t>(1 + scan % 63);
        Marker(out, 0xDA, {1, 1, 0x00, band, band, 0x00});
        if (scan == emptyScan) continue;
        BitWriter bits(out);
        for (int64_t left = blocks; left > 0; left -= 32767) bits.Put(0x3FFF, 15);  // "0" and 14 ones
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

void SetFrameSize(std::vector<uint8_t>& jpeg, int width, int height)
{
    size_t frame = FindMarker(jpeg, 0xC0);  // FF C0, length, precision, height, width
    if (frame == jpeg.size()) frame = FindMarker(jpeg, 0xC2);
    jpeg.at(frame + 5) = static_cast<uint8_t>(height >> 8), jpeg.at(frame + 6) = static_cast<uint8_t>(height);
    jpeg.at(frame + 7) = static_cast<uint8_t>(width >> 8), jpeg.at(frame + 8) = static_cast<uint8_t>(width);
}

std::vector<uint8_t> WithoutScanData(const std::vector<uint8_t>& jpeg)
{
    const size_t scan = FindMarker(jpeg, 0xDA);
    const size_t data = std::min(jpeg.size(), scan + 2 + (jpeg[scan + 2] << 8 | jpeg[scan + 3]));
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + static_cast<long>(data));
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

std::vector<uint8_t> ArithmeticWithoutScanData(const std::vector<uint8_t>& jpeg)
{
    std::vector<uint8_t> out = WithoutScanData(jpeg);
    out[FindMarker(out, 0xC0) + 1] = 0xC9;  // baseline frame -> arithmetic-coded frame
    return out;
}

std::vector<uint8_t> EmptyRunLengthBmp(int width, int height)
{
    std::vector<uint8_t> out(54, 0);
    auto put = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    out[0] = 'B', out[1] = 'M';
    put(10, 54);  // the codes follow the header: no palette
    put(14, 40);
    put(18, static_cast<uint32_t>(width));
    put(22, static_cast<uint32_t>(height));
    out[26] = 1, out[28] = 8;
    put(30, 1);                     // RLE8
    out.insert(out.end(), {0, 1});  // end of bitmap
    put(2, static_cast<uint32_t>(out.size()));
    return out;
}

}  // namespace kelva::test
