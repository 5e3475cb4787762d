// Memory streams on the edges that packages reach: empty reads, empty buffers, empty
// packages and empty entries. Under the sanitizer build a null buffer handed on to memcpy
// fails these tests.
#include "data/Stream.h"

#include <gtest/gtest.h>

#include "data/MediaFiles.h"
#include "data/PackageWriter.h"

namespace kelva {
namespace {

TEST(MemoryStreamTest, ZeroByteReadsIntoNoBufferReadNothing)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int64_t position;
    };
    for (const Case& c :
         {Case{"empty stream", {}, 0}, Case{"start", {1, 2, 3}, 0}, Case{"middle", {1, 2, 3}, 1},
          Case{"end", {1, 2, 3}, 3}, Case{"past the end", {1, 2, 3}, 7}}) {
        SCOPED_TRACE(c.name);
        MemoryStream stream(c.bytes);
        ASSERT_EQ(stream.Seek(c.position, SeekOrigin::Begin), c.position);
        std::vector<uint8_t> none;
        EXPECT_EQ(stream.Read(none.data(), 0), 0u);
        EXPECT_NO_THROW(stream.ReadExact(none.data(), 0));
        EXPECT_EQ(stream.Position(), c.position) << "an empty read doesn't move";
    }
}

TEST(MemoryStreamTest, EmptyPackagesAndEmptyEntriesRead)
{
    PackageWriter writer;
    writer.Add("empty.bmp", {});
    writer.Add("one.txt", {'x'});
    for (const bool withEntries : {false, true}) {
        SCOPED_TRACE(withEntries ? "0-byte entry" : "no entries, bytes after the directory");
        MemoryStream out;
        (withEntries ? writer : PackageWriter()).WriteTo(out);
        std::vector<uint8_t> bytes = out.TakeBytes();
        bytes.push_back(0xCC);  // what follows the package in a longer file
        MemoryStream stream(std::move(bytes));
        TReadPackageFile package;
        std::string error;
        ASSERT_TRUE(package.OpenStream(stream, error)) << error;
        ASSERT_TRUE(package.IsOpen());
        MediaFiles media(&package);
        const auto entry = media.ReadEntry("empty.bmp");
        EXPECT_EQ(entry.has_value(), withEntries);
        EXPECT_TRUE(!entry || entry->empty());
    }
}

}  // namespace
}  // namespace kelva
