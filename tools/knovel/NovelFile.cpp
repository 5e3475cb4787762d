#include "NovelFile.h"

#include <algorithm>

#include "Commands.h"
#include "PackageFiles.h"
#include "data/Crypt.h"

namespace kelva::knovel {

bool HasNovelMagic(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= kNovelMagic.size() &&
           std::equal(kNovelMagic.begin(), kNovelMagic.end(), bytes.begin());
}

bool HasScrambledNovelMagic(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < kNovelMagic.size()) return false;
    MemoryStream head(std::vector<uint8_t>(bytes.begin(), bytes.begin() + kNovelMagic.size()));
    return HasNovelMagic(CryptStream(head)->Bytes());
}

const char* ItemKindName(uint8_t kind)
{
    switch (kind) {
        case kItemMenuLink:
            return "menu";
        case kItemAutoLink:
            return "auto";
        case kItemEnd:
            return "end";
        default:
            return nullptr;
    }
}

std::vector<uint8_t> SaveNovelFile(const NovelFile& novel)
{
    return NovelFileBytes(novel.Header, novel.Counters, novel.Items);
}

LoadedNovel ReadNovelFile(std::vector<uint8_t> bytes)
{
    LoadedNovel result;
    std::unique_ptr<MemoryStream> stream;
    if (!HasNovelMagic(bytes) && HasScrambledNovelMagic(bytes)) {
        MemoryStream scrambled(std::move(bytes));
        stream = CryptStream(scrambled);
        result.Scrambled = true;
    } else {
        stream = std::make_unique<MemoryStream>(std::move(bytes));
    }
    result.Novel.Header.LoadFromStream(*stream);
    result.Novel.Counters.LoadFromStream(*stream);
    result.Novel.Items.LoadFromStream(*stream);
    result.TrailingBytes = stream->Remaining();
    return result;
}

bool LoadNovelFile(const std::string& path, LoadedNovel& result, std::string& error)
{
    auto file = ReadWholeFile(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::vector<uint8_t> bytes = file->TakeBytes();
    std::unique_ptr<PackageSource> package;
    if (!HasNovelMagic(bytes) && !HasScrambledNovelMagic(bytes)) {
        std::string packageError;
        package = PackageSource::Open(path, packageError);
    }
    std::string name = path;
    try {
        if (package) {
            name = path + ": " + std::string(kNovelEntryName);
            const int entry = package->Reader().IndexOf(kNovelEntryName);
            if (entry < 0) {
                error = path + ": the package holds no " + std::string(kNovelEntryName);
                return false;
            }
            bytes = package->ReadEntry(entry);
        }
        result = ReadNovelFile(std::move(bytes));
    } catch (const FormatError& e) {
        error = name + ": not a readable novel file: " + ForTerminal(e.what());
        return false;
    }
    result.FromPackage = package != nullptr;
    return true;
}

}  // namespace kelva::knovel
