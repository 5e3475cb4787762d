// Seekable byte streams and the little-endian field helpers every stored format uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

// A stored file is broken: it ends inside a block, or a count or length it declares is
// impossible. The message is CP932 text for the reader, without the file name (the
// caller knows which file it was reading and names it).
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class SeekOrigin { Begin, Current, End };

class Stream {
public:
    virtual ~Stream() = default;

    // Reads up to `count` bytes; fewer only at the end of the stream.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes all bytes or returns fewer on failure.
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Returns the new position, or -1 when the position is not reachable.
    virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
    virtual int64_t Size() = 0;

    int64_t Position() { return Seek(0, SeekOrigin::Current); }
    int64_t Remaining() { return Size() - Position(); }

    // Reads exactly `count` bytes or throws FormatError (the data end inside a block).
    void ReadExact(void* buffer, size_t count);
    uint8_t ReadUInt8();
    bool ReadBool();
    int16_t ReadInt16();
    int32_t ReadInt32();
    // An int32 length and that many bytes. The length must be 0 or more and must fit
    // in what is left of the stream, so a hostile length can't cause a huge allocation.
    std::string ReadCountedString();
    // A string[k] field: one length byte and k bytes; the length is clamped to k.
    std::string ReadShortString(int capacity);

    // Writers throw FormatError when the stream refuses bytes (a full disk).
    void WriteExact(const void* buffer, size_t count);
    void WriteUInt8(uint8_t value);
    void WriteBool(bool value) { WriteUInt8(value ? 1 : 0); }
    void WriteInt16(int16_t value);
    void WriteInt32(int32_t value);
    void WriteCountedString(std::string_view text);
    // Writes a string[k] field; text longer than k is cut to k bytes, the rest is zero.
    void WriteShortString(std::string_view text, int capacity);

    // Copies exactly `count` bytes from this stream's position into `target`.
    void CopyTo(Stream& target, int64_t count);
};

class MemoryStream final : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(m_bytes.size()); }

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    std::vector<uint8_t> TakeBytes()
    {
        m_position = 0;
        return std::move(m_bytes);
    }

private:
    std::vector<uint8_t> m_bytes;
    size_t m_position = 0;
};

enum class FileMode { Read, Write };

// A file on disk. Read mode opens an existing file; Write mode creates or truncates.
class FileStream final : public Stream {
public:
    static std::unique_ptr<FileStream> Open(const std::string& path, FileMode mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override;
    // Flushes buffered bytes; false when the disk refused them.
    bool Flush();

private:
    explicit FileStream(std::FILE* file) : m_file(file) {}
    std::FILE* m_file;
};

// Reads a whole file into memory; nullptr when it cannot be opened or read.
std::unique_ptr<MemoryStream> ReadWholeFile(const std::string& path);

}  // namespace kelva
