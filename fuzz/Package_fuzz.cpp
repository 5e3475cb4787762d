// A package or a game with a package appended: the image-end finder, the directory, and
// reading every entry.
#include "FuzzSupport.h"
#include "data/PackageFile2.h"
#include "data/Stream.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryStream image(fuzz::Bytes(data, size));
    const int64_t end = FindImageEnd(image);
    if (end > static_cast<int64_t>(size)) fuzz::Broken("image end beyond the file");

    MemoryStream stream(fuzz::Bytes(data, size));
    TReadPackageFile package;
    std::string error;
    if (!package.OpenStream(stream, error)) return 0;
    std::vector<uint8_t> buffer;
    for (int i = 0; i < package.Count(); ++i) {
        const TPackageEntry entry = package.GetEntry(i);
        if (entry.Offset < 0 || entry.Size < 0 ||
            package.DataStart() + entry.Offset + entry.Size > static_cast<int64_t>(size))
            fuzz::Broken("an accepted entry lies outside the file");
        // A name given twice finds its last entry; the earlier ones are unreachable.
        if (package.IndexOf(entry.Name) != i) continue;
        Stream* content = package.OpenEntry(entry.Name);
        if (!content) fuzz::Broken("a listed entry does not open");
        buffer.resize(static_cast<size_t>(entry.Size));
        if (content->Read(buffer.data(), buffer.size()) != buffer.size())
            fuzz::Broken("an accepted entry reads short");
    }
    package.GetEntry(package.Count());
    return 0;
}
