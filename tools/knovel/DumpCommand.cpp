// knovel dump FILE: tells the kind of a stored file by its magic and describes it.
#include <cstdio>
#include <cstring>

#include "Commands.h"
#include "Dump.h"
#include "PackageFiles.h"
#include "data/PackageFile2.h"
#include "data/Stream.h"

namespace kelva::knovel {

namespace {

// A bookmark file starts with a string[32] whose length byte is 23.
constexpr std::string_view kBookmarkFileMagic = "\x17KelvaNovel BookMarkFile";

bool StartsWith(const std::vector<uint8_t>& bytes, std::string_view magic)
{
    return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

// The story inside a package or game, after the package's own description.
int DumpPackagedNovel(const std::string& path)
{
    LoadedNovel loaded;
    std::string error;
    if (!LoadNovelFile(path, loaded, error)) return Fail(error);
    std::printf("\n%s:\n%s", std::string(kNovelEntryName).c_str(), DescribeNovel(loaded).c_str());
    return 0;
}

}  // namespace

StoredFileKind DetectStoredFileKind(const std::string& path, const std::vector<uint8_t>& bytes,
                                    int64_t& packageOffset)
{
    packageOffset = -1;
    if (HasNovelMagic(bytes)) return StoredFileKind::Novel;
    if (StartsWith(bytes, kBookmarkFileMagic)) return StoredFileKind::Bookmarks;
    if (StartsWith(bytes, kPackageMagic)) {
        packageOffset = 0;
        return StoredFileKind::Package;
    }
    if (HasScrambledNovelMagic(bytes)) return StoredFileKind::ScrambledNovel;
    packageOffset = FindPackageOffset(path);
    return packageOffset >= 0 ? StoredFileKind::Game : StoredFileKind::Unknown;
}

int RunDump(const Arguments& args)
{
    if (args.size() != 1) return Fail("usage: knovel dump FILE");
    const std::string& path = args[0];
    auto file = ReadWholeFile(path);
    if (!file) return Fail("cannot read " + path);
    int64_t packageOffset = -1;
    switch (DetectStoredFileKind(path, file->Bytes(), packageOffset)) {
        case StoredFileKind::Novel:
        case StoredFileKind::ScrambledNovel:
            return DumpNovel(path, file->Bytes());
        case StoredFileKind::Package:
        case StoredFileKind::Game:
            return DumpPackage(path, packageOffset) == 0 ? DumpPackagedNovel(path) : 1;
        case StoredFileKind::Bookmarks:
            return DumpBookmarks(path);
        case StoredFileKind::Unknown:
            break;
    }
    return Fail(path + ": not a novel file, package, game or bookmark file");
}

}  // namespace kelva::knovel
