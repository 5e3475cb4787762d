#include "data/Stream.h"

#include <algorithm>
#include <cstring>

namespace kelva {

namespace {

std::string PositionText(int64_t position)
{
    return "（位置 " + std::to_string(position) + "）";
}

}  // namespace

void Stream::ReadExact(void* buffer, size_t count)
{
    const int64_t start = Position();
    if (Read(buffer, count) != count) {
        throw FormatError("データが途中で終わっています" + PositionText(start) + "。");
    }
}

uint8_t Stream::ReadUInt8()
{
    uint8_t value;
    ReadExact(&value, 1);
    return value;
}

bool Stream::ReadBool()
{
    return ReadUInt8() != 0;
}

int16_t Stream::ReadInt16()
{
    uint8_t b[2];
    ReadExact(b, 2);
    return static_cast<int16_t>(b[0] | (b[1] << 8));
}

int32_t Stream::ReadInt32()
{
    uint8_t b[4];
    ReadExact(b, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
}

std::string Stream::ReadCountedString()
{
    const int64_t start = Position();
    const int32_t length = ReadInt32();
    if (length < 0) {
        throw FormatError("負の長さ " + std::to_string(length) + " があります" + PositionText(start) + "。");
    }
    if (length > Remaining()) {
        throw FormatError("長さ " + std::to_string(length) + " がファイルの終わりを越えています" +
                          PositionText(start) + "。");
    }
    std::string text(static_cast<size_t>(length), '\0');
    ReadExact(text.data(), text.size());
    return text;
}

std::string Stream::ReadShortString(int capacity)
{
    std::string field(static_cast<size_t>(capacity) + 1, '\0');
    ReadExact(field.data(), field.size());
    const size_t length = std::min<size_t>(static_cast<uint8_t>(field[0]), capacity);
    return field.substr(1, length);
}

void Stream::WriteExact(const void* buffer, size_t count)
{
    if (Write(buffer, count) != count) {
        throw FormatError("書き込みに失敗しました" + PositionText(Position()) + "。");
    }
}

void Stream::WriteUInt8(uint8_t value)
{
    WriteExact(&value, 1);
}

void Stream::WriteInt16(int16_t value)
{
    const auto v = static_cast<uint16_t>(value);
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    WriteExact(b, 2);
}

void Stream::WriteInt32(int32_t value)
{
    const auto v = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    WriteExact(b, 4);
}

void Stream::WriteCountedString(std::string_view text)
{
    WriteInt32(static_cast<int32_t>(text.size()));
    WriteExact(text.data(), text.size());
}

void Stream::WriteShortString(std::string_view text, int capacity)
{
    std::string field(static_cast<size_t>(capacity) + 1, '\0');
    const size_t length = std::min<size_t>(text.size(), capacity);
    field[0] = static_cast<char>(length);
    std::memcpy(field.data() + 1, text.data(), length);
    WriteExact(field.data(), field.size());
}

void Stream::CopyTo(Stream& target, int64_t count)
{
    char buffer[64 * 1024];
    while (count > 0) {
        const size_t chunk = static_cast<size_t>(std::min<int64_t>(count, sizeof buffer));
        ReadExact(buffer, chunk);
        target.WriteExact(buffer, chunk);
        count -= static_cast<int64_t>(chunk);
    }
}

size_t MemoryStream::Read(void* buffer, size_t count)
{
    // A 0-byte read may come with a null buffer (an empty vector's data()), which
    // memcpy must never see.
    if (count == 0 || m_position >= m_bytes.size()) return 0;
    const size_t n = std::min(count, m_bytes.size() - m_position);
    std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

size_t MemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0) return 0;
    if (m_position + count > m_bytes.size()) m_bytes.resize(m_position + count);
    std::memcpy(m_bytes.data() + m_position, buffer, count);
    m_position += count;
    return count;
}

int64_t MemoryStream::Seek(int64_t offset, SeekOrigin origin)
{
    int64_t base = 0;
    if (origin == SeekOrigin::Current) base = static_cast<int64_t>(m_position);
    if (origin == SeekOrigin::End) base = Size();
    const int64_t target = base + offset;
    if (target < 0) return -1;
    m_position = static_cast<size_t>(target);
    return target;
}

std::unique_ptr<FileStream> FileStream::Open(const std::string& path, FileMode mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode == FileMode::Read ? "rb" : "wb");
    if (!file) return nullptr;
    return std::unique_ptr<FileStream>(new FileStream(file));
}

FileStream::~FileStream()
{
    std::fclose(m_file);
}

size_t FileStream::Read(void* buffer, size_t count)
{
    return std::fread(buffer, 1, count, m_file);
}

size_t FileStream::Write(const void* buffer, size_t count)
{
    return std::fwrite(buffer, 1, count, m_file);
}

int64_t FileStream::Seek(int64_t offset, SeekOrigin origin)
{
    const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    if (fseeko(m_file, offset, whence) != 0) return -1;
    return ftello(m_file);
}

int64_t FileStream::Size()
{
    const off_t here = ftello(m_file);
    fseeko(m_file, 0, SEEK_END);
    const off_t size = ftello(m_file);
    fseeko(m_file, here, SEEK_SET);
    return size;
}

bool FileStream::Flush()
{
    return std::fflush(m_file) == 0;
}

std::unique_ptr<MemoryStream> ReadWholeFile(const std::string& path)
{
    auto file = FileStream::Open(path, FileMode::Read);
    if (!file) return nullptr;
    const int64_t size = file->Size();
    if (size < 0) return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (file->Read(bytes.data(), bytes.size()) != bytes.size()) return nullptr;
    return std::make_unique<MemoryStream>(std::move(bytes));
}

}  // namespace kelva
