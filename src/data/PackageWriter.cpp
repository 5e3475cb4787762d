#include "data/PackageWriter.h"

#include <cstring>
#include <limits>

#include "data/PackageFile2.h"

namespace kelva {

void PackageWriter::Add(std::string name, std::vector<uint8_t> bytes)
{
    if (name.size() > static_cast<size_t>(kPackageNameCapacity)) {
        throw PackageError("ファイル名 \"" + name + "\" が長すぎます（" + std::to_string(name.size()) +
                           " バイト、上限 255 バイト）。");
    }
    if (Count() >= kPackageMaxEntries) {
        throw PackageError("ファイル数が上限 32767 を超えています。");
    }
    const int64_t end = m_dataSize + static_cast<int64_t>(bytes.size());
    if (end > std::numeric_limits<int32_t>::max()) {
        throw PackageError("データの合計が 2 GiB を超えるため \"" + name + "\" を格納できません。");
    }
    m_dataSize = end;
    m_entries.push_back(Entry{std::move(name), std::move(bytes)});
}

void PackageWriter::WriteTo(Stream& target) const
{
    target.WriteExact(kPackageMagic.data(), kPackageMagic.size());
    target.WriteInt16(static_cast<int16_t>(m_entries.size()));

    int32_t offset = 0;
    for (const Entry& entry : m_entries) {
        uint8_t raw[kPackageEntrySize] = {};
        raw[0] = static_cast<uint8_t>(entry.name.size());
        std::memcpy(raw + 1, entry.name.data(), entry.name.size());
        MemoryStream numbers;
        numbers.WriteInt32(offset);
        numbers.WriteInt32(static_cast<int32_t>(entry.bytes.size()));
        std::memcpy(raw + 1 + kPackageNameCapacity, numbers.Bytes().data(), 8);
        target.WriteExact(raw, sizeof raw);
        offset += static_cast<int32_t>(entry.bytes.size());
    }
    for (const Entry& entry : m_entries) target.WriteExact(entry.bytes.data(), entry.bytes.size());
}

}  // namespace kelva
