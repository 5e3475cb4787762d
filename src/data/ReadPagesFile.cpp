#include "data/ReadPagesFile.h"

#include "data/Stream.h"

namespace kelva {

namespace {

constexpr std::string_view kMagic = "KNRP";
constexpr size_t kHeaderBytes = 12;
constexpr size_t kPageBytes = 16;
constexpr size_t kHashBytes = 4;

constexpr uint64_t kFnv64Offset = 14695981039346656037ull;
constexpr uint64_t kFnv64Prime = 1099511628211ull;

uint64_t Fnv64(uint64_t hash, std::string_view bytes)
{
    for (const char byte : bytes) hash = (hash ^ static_cast<uint8_t>(byte)) * kFnv64Prime;
    return hash;
}

uint32_t Fnv32(const uint8_t* bytes, size_t count)
{
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

}  // namespace

uint64_t ItemFingerprint(std::string_view name, const std::vector<std::string>& lines)
{
    // Each part is closed by a byte no CP932 text holds, so "ab"+"c" and "a"+"bc" differ.
    uint64_t hash = Fnv64(Fnv64(kFnv64Offset, name), std::string_view("\0", 1));
    for (const std::string& line : lines) hash = Fnv64(Fnv64(hash, line), std::string_view("\0", 1));
    return hash;
}

std::vector<uint8_t> EncodeReadPages(const std::set<ReadPage>& pages)
{
    MemoryStream out;
    out.WriteExact(kMagic.data(), kMagic.size());
    out.WriteInt32(kReadPagesVersion);
    out.WriteInt32(static_cast<int32_t>(pages.size()));
    for (const ReadPage& page : pages) {
        out.WriteInt32(static_cast<int32_t>(page.Item & 0xFFFFFFFFu));
        out.WriteInt32(static_cast<int32_t>(page.Item >> 32));
        out.WriteInt32(page.Line);
        out.WriteInt32(page.Character);
    }
    std::vector<uint8_t> bytes = out.TakeBytes();
    const uint32_t hash = Fnv32(bytes.data(), bytes.size());
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(hash >> shift));
    return bytes;
}

std::string DecodeReadPages(const std::vector<uint8_t>& bytes, std::set<ReadPage>& pages)
{
    if (bytes.size() < kHeaderBytes + kHashBytes ||
        std::string_view(reinterpret_cast<const char*>(bytes.data()), kMagic.size()) != kMagic) {
        return "not a file of pages read";
    }
    MemoryStream in(bytes);
    in.Seek(static_cast<int64_t>(kMagic.size()), SeekOrigin::Begin);
    const int32_t version = in.ReadInt32();
    if (version != kReadPagesVersion) return "unknown version " + std::to_string(version);
    const int32_t count = in.ReadInt32();
    if (count < 0 || static_cast<size_t>(count) > kMaxReadPages) {
        return "a count of " + std::to_string(count) + " pages";
    }
    const size_t expected = kHeaderBytes + static_cast<size_t>(count) * kPageBytes + kHashBytes;
    if (bytes.size() != expected) {
        return std::to_string(bytes.size()) + " bytes where " + std::to_string(count) + " pages take " +
               std::to_string(expected);
    }
    const size_t hashAt = bytes.size() - kHashBytes;
    uint32_t stored = 0;
    for (size_t i = 0; i < kHashBytes; ++i) stored |= uint32_t{bytes[hashAt + i]} << (8 * i);
    if (stored != Fnv32(bytes.data(), hashAt)) return "the check sum does not match";
    std::set<ReadPage> read;
    for (int32_t n = 0; n < count; ++n) {
        ReadPage page;
        const uint32_t low = static_cast<uint32_t>(in.ReadInt32());
        page.Item = low | uint64_t{static_cast<uint32_t>(in.ReadInt32())} << 32;
        page.Line = in.ReadInt32();
        page.Character = in.ReadInt32();
        if (page.Line < 0 || page.Character < 1) {
            return "page " + std::to_string(n + 1) + " has no valid position";
        }
        read.insert(page);
    }
    pages.merge(read);
    return {};
}

}  // namespace kelva
