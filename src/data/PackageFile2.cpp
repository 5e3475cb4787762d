#include "data/PackageFile2.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "data/ShiftJis.h"

namespace kelva {

namespace {

constexpr std::string_view kBrokenPackage = "パッケージが壊れています。";

int32_t Int32At(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

uint16_t UInt16At(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t UInt32At(const uint8_t* p)
{
    return static_cast<uint32_t>(Int32At(p));
}

uint64_t UInt64At(const uint8_t* p)
{
    return static_cast<uint64_t>(UInt32At(p)) | (static_cast<uint64_t>(UInt32At(p + 4)) << 32);
}

}  // namespace

bool TReadPackageFile::OpenStream(Stream& stream, std::string& error)
{
    Close();
    m_stream = &stream;

    uint8_t header[kPackageHeaderSize];
    const size_t got = stream.Read(header, sizeof header);
    if (got < kPackageMagic.size() || std::memcmp(header, kPackageMagic.data(), kPackageMagic.size()) != 0) {
        Close();
        error = "ヘッダエラー。データ形式が違います。";
        return false;
    }
    if (got < sizeof header) {
        return Reject("エントリ数がありません。", error);
    }

    // Everything below is checked against the stream's real size before it is used, so a
    // hostile count or entry can neither make us allocate more than the stream holds nor
    // send a later OpenEntry outside the package.
    const int count = static_cast<int16_t>(UInt16At(header + kPackageMagic.size()));
    if (count < 0) {
        return Reject("エントリ数 " + std::to_string(count) + " が負の値です。", error);
    }
    const int64_t directoryStart = stream.Position();
    const int64_t streamSize = stream.Size();
    const int64_t directorySize = static_cast<int64_t>(count) * kPackageEntrySize;
    if (directoryStart < 0 || streamSize < 0 || directorySize > streamSize - directoryStart) {
        return Reject("エントリ数 " + std::to_string(count) + " の目録がファイルの終わりを越えています。",
                      error);
    }

    std::vector<uint8_t> directory(static_cast<size_t>(directorySize));
    if (stream.Read(directory.data(), directory.size()) != directory.size()) {
        return Reject("目録を読めません。", error);
    }
    const int64_t dataStart = directoryStart + directorySize;
    const int64_t dataSize = streamSize - dataStart;

    std::vector<TPackageEntry> entries(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const uint8_t* raw = directory.data() + static_cast<size_t>(i) * kPackageEntrySize;
        TPackageEntry& entry = entries[static_cast<size_t>(i)];
        entry.Name.assign(reinterpret_cast<const char*>(raw + 1), raw[0]);
        entry.Offset = Int32At(raw + 1 + kPackageNameCapacity);
        entry.Size = Int32At(raw + 5 + kPackageNameCapacity);
        if (entry.Offset < 0 || entry.Size < 0 ||
            static_cast<int64_t>(entry.Offset) + entry.Size > dataSize) {
            return Reject("エントリ \"" + entry.Name + "\" （位置 " + std::to_string(entry.Offset) +
                              "、サイズ " + std::to_string(entry.Size) + "）がデータ領域（" +
                              std::to_string(dataSize) + " バイト）の外にあります。",
                          error);
        }
    }

    m_foldedNames.reserve(entries.size());
    for (const TPackageEntry& entry : entries) m_foldedNames.push_back(UpperCaseAscii(entry.Name));
    m_entries = std::move(entries);
    m_dataStart = dataStart;
    m_open = true;
    return true;
}

bool TReadPackageFile::Reject(const std::string& detail, std::string& error)
{
    Close();
    error = std::string(kBrokenPackage) + detail;
    return false;
}

void TReadPackageFile::Close()
{
    m_open = false;
    m_dataStart = 0;
    m_entries.clear();
    m_foldedNames.clear();
}

int TReadPackageFile::IndexOf(std::string_view name) const
{
    const std::string wanted = UpperCaseAscii(name);
    // Scans the whole directory: a name stored twice resolves to the later entry.
    int found = -1;
    for (size_t i = 0; i < m_foldedNames.size(); ++i) {
        if (m_foldedNames[i] == wanted) found = static_cast<int>(i);
    }
    return found;
}

TPackageEntry TReadPackageFile::GetEntry(int index) const
{
    if (index < 0 || index >= Count()) return TPackageEntry{"ERROR", -1, -1};
    return m_entries[static_cast<size_t>(index)];
}

Stream* TReadPackageFile::OpenEntry(std::string_view name)
{
    if (!m_open) return nullptr;
    const int index = IndexOf(name);
    if (index < 0) return nullptr;
    const int64_t position = m_dataStart + m_entries[static_cast<size_t>(index)].Offset;
    if (m_stream->Seek(position, SeekOrigin::Begin) != position) return nullptr;
    return m_stream;
}

namespace {

// Bounded reading of an executable's headers: every read names an absolute range that must
// lie inside the file, so a hostile header can only make the search fail.
class HeaderReader {
public:
    explicit HeaderReader(Stream& file) : m_file(file), m_size(file.Size()) {}

    uint64_t Size() const { return m_size < 0 ? 0 : static_cast<uint64_t>(m_size); }

    bool Contains(uint64_t offset, uint64_t count) const
    {
        return offset <= Size() && count <= Size() - offset;
    }

    bool ReadAt(uint64_t offset, void* buffer, size_t count)
    {
        if (!Contains(offset, count)) return false;
        const auto position = static_cast<int64_t>(offset);
        if (m_file.Seek(position, SeekOrigin::Begin) != position) return false;
        return m_file.Read(buffer, count) == count;
    }

    std::optional<std::vector<uint8_t>> ReadBlock(uint64_t offset, uint64_t count)
    {
        if (!Contains(offset, count)) return std::nullopt;
        std::vector<uint8_t> block(static_cast<size_t>(count));
        if (!ReadAt(offset, block.data(), block.size())) return std::nullopt;
        return block;
    }

private:
    Stream& m_file;
    int64_t m_size;
};

// Adds without wrapping; nullopt when the sum does not fit.
std::optional<uint64_t> CheckedAdd(uint64_t a, uint64_t b)
{
    if (a > UINT64_MAX - b) return std::nullopt;
    return a + b;
}

int64_t PeImageEnd(HeaderReader& reader)
{
    uint8_t pointer[2];
    if (!reader.ReadAt(60, pointer, 2)) return -1;
    // Only the lower half of the DOS header's pointer to the PE header is used.
    const uint64_t h = UInt16At(pointer);

    uint8_t signature[2];
    if (!reader.ReadAt(h, signature, 2) || signature[0] != 'P' || signature[1] != 'E') return -1;
    uint8_t sectionCount;
    if (!reader.ReadAt(h + 6, &sectionCount, 1) || sectionCount == 0) return -1;

    // The section table is taken to follow a PE32 optional header of 224 bytes, without
    // consulting the optional header's own size field: packages were always placed by
    // this rule, so finding them must use it too. Only the low byte of the count is read.
    const uint64_t lastSection = h + 248 + (static_cast<uint64_t>(sectionCount) - 1) * 40;
    uint8_t raw[8];
    if (!reader.ReadAt(lastSection + 16, raw, 8)) return -1;
    const uint64_t sizeOfRawData = UInt32At(raw);
    const uint64_t pointerToRawData = UInt32At(raw + 4);
    return static_cast<int64_t>(pointerToRawData + sizeOfRawData);
}

// The layout of the ELF fields we need, for one word size.
struct ElfLayout {
    int phoff, shoff, phentsize, phnum, shentsize, shnum;  // offsets in the file header
    size_t headerSize;
    size_t programHeaderSize;
    int pOffset, pFilesz;  // offsets in a program header
    size_t sectionHeaderSize;
    int shType, shOffset, shSize, shInfo;  // offsets in a section header
    bool wide;                             // 64-bit fields for addresses and sizes
};

constexpr ElfLayout kElf32{0x1C, 0x20, 0x2A, 0x2C, 0x2E, 0x30, 52, 32, 4, 16, 40, 4, 16, 20, 28, false};
constexpr ElfLayout kElf64{0x20, 0x28, 0x36, 0x38, 0x3A, 0x3C, 64, 56, 8, 32, 64, 4, 24, 32, 44, true};

int64_t ElfImageEnd(HeaderReader& reader)
{
    uint8_t ident[16];
    if (!reader.ReadAt(0, ident, sizeof ident)) return -1;
    if (ident[5] != 1) return -1;  // little-endian only
    const ElfLayout* layout = ident[4] == 1 ? &kElf32 : ident[4] == 2 ? &kElf64 : nullptr;
    if (!layout) return -1;

    std::vector<uint8_t> header(layout->headerSize);
    if (!reader.ReadAt(0, header.data(), header.size())) return -1;
    const uint8_t* eh = header.data();
    auto word = [&](const uint8_t* p) { return layout->wide ? UInt64At(p) : uint64_t{UInt32At(p)}; };

    const uint64_t phoff = word(eh + layout->phoff);
    const uint64_t shoff = word(eh + layout->shoff);
    const uint64_t phentsize = UInt16At(eh + layout->phentsize);
    const uint64_t shentsize = UInt16At(eh + layout->shentsize);
    uint64_t phnum = UInt16At(eh + layout->phnum);
    uint64_t shnum = UInt16At(eh + layout->shnum);

    // Extended numbering: with very many sections the counts live in section header 0.
    if (shoff != 0 && (shnum == 0 || phnum == 0xFFFF)) {
        if (shentsize < layout->sectionHeaderSize) return -1;
        std::vector<uint8_t> first(layout->sectionHeaderSize);
        if (!reader.ReadAt(shoff, first.data(), first.size())) return -1;
        if (shnum == 0) shnum = word(first.data() + layout->shSize);
        if (phnum == 0xFFFF) phnum = UInt32At(first.data() + layout->shInfo);
    }

    uint64_t end = 0;
    if (shnum > 0) {
        if (shentsize < layout->sectionHeaderSize) return -1;
        if (shnum > reader.Size() / shentsize) return -1;  // the table can't fit in the file
        const auto tableEnd = CheckedAdd(shoff, shnum * shentsize);
        if (!tableEnd) return -1;
        const auto table = reader.ReadBlock(shoff, shnum * shentsize);
        if (!table) return -1;
        end = *tableEnd;
        for (uint64_t i = 0; i < shnum; ++i) {
            const uint8_t* sh = table->data() + i * shentsize;
            // Inactive headers (type 0) carry no meaningful range; NOBITS sections (.bss)
            // occupy no file space.
            const uint32_t type = UInt32At(sh + layout->shType);
            if (type == 0 || type == 8) continue;
            const auto sectionEnd = CheckedAdd(word(sh + layout->shOffset), word(sh + layout->shSize));
            if (!sectionEnd) return -1;
            end = std::max(end, *sectionEnd);
        }
    }
    if (phnum > 0) {
        if (phentsize < layout->programHeaderSize) return -1;
        if (phnum > reader.Size() / phentsize) return -1;
        const auto table = reader.ReadBlock(phoff, phnum * phentsize);
        if (!table) return -1;
        for (uint64_t i = 0; i < phnum; ++i) {
            const uint8_t* ph = table->data() + i * phentsize;
            if (UInt32At(ph) == 0) continue;  // an unused entry
            const auto segmentEnd = CheckedAdd(word(ph + layout->pOffset), word(ph + layout->pFilesz));
            if (!segmentEnd) return -1;
            end = std::max(end, *segmentEnd);
        }
    }
    // An image that claims to reach past the file is broken; nothing can follow it.
    if (end > reader.Size()) return -1;
    return static_cast<int64_t>(end);
}

}  // namespace

int64_t FindImageEnd(Stream& file)
{
    HeaderReader reader(file);
    uint8_t magic[4];
    if (!reader.ReadAt(0, magic, 2)) return -1;
    int64_t end = -1;
    if (magic[0] == 'M' && magic[1] == 'Z') {
        end = PeImageEnd(reader);
    } else if (reader.ReadAt(0, magic, 4) && magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' &&
               magic[3] == 'F') {
        end = ElfImageEnd(reader);
    }
    // A section said to reach past the file's end belongs to a cut-off file, not to an
    // image with something appended.
    return end > file.Size() ? -1 : end;
}

int64_t FindPackageOffset(const std::string& programPath)
{
    // Opened read-only; on Linux that never blocks others from reading or writing the file.
    auto file = FileStream::Open(programPath, FileMode::Read);
    if (!file) return -1;
    const int64_t end = FindImageEnd(*file);
    if (end < 0) return -1;

    HeaderReader reader(*file);
    uint8_t probe[16];
    if (!reader.ReadAt(static_cast<uint64_t>(end), probe, sizeof probe)) return -1;
    if (std::memcmp(probe, kPackageMagic.data(), kPackageMagic.size()) != 0) return -1;
    return end;
}

}  // namespace kelva
