#include "data/PackageFile2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "data/PackageWriter.h"

namespace kelva {
namespace {

std::vector<uint8_t> BuildPackage(const std::vector<std::pair<std::string, std::string>>& entries)
{
    PackageWriter writer;
    for (const auto& [name, data] : entries) writer.Add(name, {data.begin(), data.end()});
    MemoryStream out;
    writer.WriteTo(out);
    return out.TakeBytes();
}

std::string ReadEntry(TReadPackageFile& reader, std::string_view name)
{
    Stream* stream = reader.OpenEntry(name);
    if (!stream) return "<none>";
    std::string data(static_cast<size_t>(reader.GetEntry(reader.IndexOf(name)).Size), '\0');
    stream->ReadExact(data.data(), data.size());
    return data;
}

template <typename T>
void Put(std::vector<uint8_t>& bytes, size_t at, T value)
{
    if (bytes.size() < at + sizeof(T)) bytes.resize(at + sizeof(T));
    for (size_t i = 0; i < sizeof(T); ++i)
        bytes[at + i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
}

// Opens `bytes` after `prefix` filler bytes (as a package appended to a program).
struct OpenedPackage {
    explicit OpenedPackage(std::vector<uint8_t> bytes, size_t prefix = 0)
    {
        bytes.insert(bytes.begin(), prefix, 0xCC);
        stream = MemoryStream(std::move(bytes));
        stream.Seek(static_cast<int64_t>(prefix), SeekOrigin::Begin);
        opened = reader.OpenStream(stream, error);
    }
    TReadPackageFile reader;
    MemoryStream stream;
    bool opened = false;
    std::string error;
};

TEST(PackageReaderTest, ReadsEntriesWrittenByTheWriter)
{
    OpenedPackage p(BuildPackage({{"autorun.kne", "story"}, {"bg\\room.jpg", "JPEGDATA"}, {"empty.wav", ""}}),
                    100);
    ASSERT_TRUE(p.opened);
    ASSERT_TRUE(p.reader.IsOpen());
    EXPECT_EQ(p.error, "");
    EXPECT_EQ(p.reader.Count(), 3);
    EXPECT_EQ(p.reader.DataStart(), 100 + 15 + 3 * 264) << "a stream position, not package-relative";
    EXPECT_EQ(p.reader.GetEntry(1).Offset, 5) << "counted from the data area";
    EXPECT_EQ(ReadEntry(p.reader, "bg\\room.jpg"), "JPEGDATA");
    EXPECT_EQ(ReadEntry(p.reader, "autorun.kne"), "story");
    EXPECT_EQ(ReadEntry(p.reader, "empty.wav"), "");
    EXPECT_EQ(p.reader.OpenEntry("missing.bmp"), nullptr);

    // Entries share one stream: the later OpenEntry wins.
    Stream* first = p.reader.OpenEntry("autorun.kne");
    EXPECT_EQ(p.reader.OpenEntry("bg\\room.jpg"), first);
    char data[4];
    first->ReadExact(data, 4);
    EXPECT_EQ(std::string(data, 4), "JPEG");
}

TEST(PackageReaderTest, IndexOfFoldsAsciiCaseAndTakesTheLastMatch)
{
    // 0x83 0x61 and 0x83 0x41 are two katakana whose trail bytes look like 'a' and 'A'.
    OpenedPackage p(BuildPackage(
        {{"autorun.kne", ""}, {"Pic.BMP", ""}, {"pic.bmp", ""}, {"\x83\x61.bmp", ""}, {"\x83\x41.bmp", ""}}));
    EXPECT_EQ(p.reader.IndexOf("AUTORUN.KNE"), 0);
    EXPECT_EQ(p.reader.IndexOf("PIC.bmp"), 2);
    EXPECT_EQ(p.reader.IndexOf("\x83\x61.BMP"), 3);
    EXPECT_EQ(p.reader.IndexOf("\x83\x41.bmp"), 4);
    EXPECT_EQ(p.reader.IndexOf("pic.bm"), -1);
}

TEST(PackageReaderTest, EmptyPackageAndIndicesOutOfRange)
{
    OpenedPackage p(BuildPackage({}));
    EXPECT_TRUE(p.reader.IsOpen());
    EXPECT_EQ(p.reader.DataStart(), 15);
    EXPECT_EQ(p.reader.OpenEntry("autorun.kne"), nullptr);
    for (int index : {-1, 0, 32767}) {
        const TPackageEntry entry = p.reader.GetEntry(index);
        EXPECT_EQ(entry.Name, "ERROR");
        EXPECT_EQ(entry.Offset, -1);
        EXPECT_EQ(entry.Size, -1);
    }
}

TEST(PackageReaderTest, BadMagicIsAHeaderError)
{
    for (size_t at : {0, 1, 12}) {
        std::vector<uint8_t> bytes = BuildPackage({{"a", "1"}});
        bytes[at] ^= 0x20;  // 0x0C becomes 0x2C; letters change case
        OpenedPackage p(bytes);
        EXPECT_FALSE(p.opened);
        EXPECT_FALSE(p.reader.IsOpen());
        EXPECT_EQ(p.reader.IndexOf("a"), -1);
        EXPECT_EQ(p.error, "ヘッダエラー。データ形式が違います。");
    }
}

TEST(PackageReaderTest, ImpossibleDirectoriesAreRejected)
{
    const std::vector<uint8_t> good = BuildPackage({{"a.bmp", "12345"}, {"b.mid", "678"}});
    std::vector<std::vector<uint8_t>> broken;
    // The last entry ends at the end of the stream, so every shorter stream is broken in
    // the magic, the count, the directory or the data.
    for (size_t length = 0; length < good.size(); ++length)
        broken.emplace_back(good.begin(), good.begin() + long(length));
    auto with = [&](auto change) {
        std::vector<uint8_t> bytes = good;
        change(bytes);
        broken.push_back(bytes);
    };
    with([](auto& b) { Put<int16_t>(b, 13, -1); });
    with([](auto& b) { Put<int16_t>(b, 13, 32767); });
    const size_t second = 15 + 264;  // the data area holds 8 bytes
    with([&](auto& b) { Put<int32_t>(b, second + 256, -1); });
    with([&](auto& b) { Put<int32_t>(b, second + 260, -1); });
    with([&](auto& b) { Put<int32_t>(b, second + 260, 4); });
    with(
        [&](auto& b) { Put<int32_t>(b, second + 256, INT32_MAX), Put<int32_t>(b, second + 260, INT32_MAX); });

    for (size_t i = 0; i < broken.size(); ++i) {
        OpenedPackage p(broken[i], 8);  // the filler before the package is no data
        EXPECT_FALSE(p.opened) << i;
        EXPECT_FALSE(p.reader.IsOpen()) << i;
        EXPECT_EQ(p.reader.OpenEntry("a.bmp"), nullptr);
        EXPECT_FALSE(p.error.empty()) << i;
    }
    EXPECT_EQ(OpenedPackage(broken.back()).error.rfind("パッケージが壊れています。", 0), 0u);
}

TEST(PackageWriterTest, EnforcesTheFormatLimits)
{
    PackageWriter writer;
    writer.Add(std::string(255, 'n'), {});
    EXPECT_THROW(writer.Add(std::string(256, 'n'), {}), PackageError);
    while (writer.Count() < kPackageMaxEntries) writer.Add("x", {});
    EXPECT_THROW(writer.Add("y", {}), PackageError);
    MemoryStream out;
    writer.WriteTo(out);
    OpenedPackage p(out.TakeBytes());
    EXPECT_EQ(p.reader.Count(), kPackageMaxEntries);
    EXPECT_EQ(p.reader.GetEntry(0).Name, std::string(255, 'n'));
}

// ---- Finding a package appended to an executable ----

class PackageOffsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("kelva_pkg_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    int64_t FindIn(std::vector<uint8_t> exe, const std::vector<uint8_t>& tail = BuildPackage({{"a", "1"}}))
    {
        exe.insert(exe.end(), tail.begin(), tail.end());
        const std::string path = (m_dir / "game").string();
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(exe.data()), static_cast<std::streamsize>(exe.size()));
        return FindPackageOffset(path);
    }

    std::filesystem::path m_dir;
};

// "MZ", the PE header at 0x80 and `sections` section headers from 0x80 + 248; the last
// section's raw data end at `imageEnd`.
std::vector<uint8_t> MakePe(uint8_t sections, uint32_t imageEnd)
{
    std::vector<uint8_t> bytes(imageEnd, 0);
    bytes[0] = 'M', bytes[1] = 'Z';
    Put<uint32_t>(bytes, 60, 0x80);
    bytes[0x80] = 'P', bytes[0x81] = 'E';
    bytes[0x86] = sections;
    for (uint32_t i = 0; i < sections; ++i) {
        const uint32_t start = 0x400 + i * 0x200;
        Put<uint32_t>(bytes, 0x80 + 248 + i * 40 + 16, i + 1 == sections ? imageEnd - start : 0x200);
        Put<uint32_t>(bytes, 0x80 + 248 + i * 40 + 20, start);
    }
    return bytes;
}

TEST_F(PackageOffsetTest, PeImage)
{
    EXPECT_EQ(FindIn(MakePe(3, 0x1000)), 0x1000);
    EXPECT_EQ(FindIn(MakePe(3, 0x1000), {}), -1) << "nothing after the last section";
    std::vector<uint8_t> empty = BuildPackage({});  // 15 bytes: one short of the 16 that must remain
    EXPECT_EQ(FindIn(MakePe(1, 0x800), empty), -1);
    empty.push_back(0);
    EXPECT_EQ(FindIn(MakePe(1, 0x800), empty), 0x800);

    auto broken = [](auto change) {
        std::vector<uint8_t> exe = MakePe(2, 0x1000);
        change(exe);
        return exe;
    };
    EXPECT_EQ(FindIn(broken([](auto& e) { e[0] = 'N'; })), -1);
    EXPECT_EQ(FindIn(broken([](auto& e) { e[0x81] = 'X'; })), -1);
    EXPECT_EQ(FindIn(broken([](auto& e) { e[0x86] = 0; })), -1) << "no sections";
    EXPECT_EQ(FindIn(broken([](auto& e) { Put<uint16_t>(e, 60, 0xFFF0); })), -1);
    EXPECT_EQ(FindIn(broken([](auto& e) { Put<uint32_t>(e, 0x80 + 248 + 40 + 20, 0xFFFFFFF0); })), -1);
    EXPECT_EQ(FindIn({'M'}), -1);
    EXPECT_EQ(FindPackageOffset((m_dir / "does-not-exist").string()), -1);
}

// A little-endian ELF file: header, two LOAD segments, four sections (a null one, and a
// NOBITS one reaching far past the file) and the section header table at the end.
std::vector<uint8_t> MakeElf(bool wide)
{
    const size_t phsize = wide ? 56 : 32, shsize = wide ? 64 : 40, phoff = wide ? 64 : 52, shoff = 0x400;
    std::vector<uint8_t> b(shoff + 4 * shsize, 0);
    b[0] = 0x7F, b[1] = 'E', b[2] = 'L', b[3] = 'F', b[4] = wide ? 2 : 1, b[5] = 1;
    auto word = [&](size_t at, uint64_t value) {
        if (wide)
            Put<uint64_t>(b, at, value);
        else
            Put<uint32_t>(b, at, static_cast<uint32_t>(value));
    };
    word(wide ? 0x20 : 0x1C, phoff);
    word(wide ? 0x28 : 0x20, shoff);
    Put<uint16_t>(b, wide ? 0x36 : 0x2A, static_cast<uint16_t>(phsize));
    Put<uint16_t>(b, wide ? 0x38 : 0x2C, 2);
    Put<uint16_t>(b, wide ? 0x3A : 0x2E, static_cast<uint16_t>(shsize));
    Put<uint16_t>(b, wide ? 0x3C : 0x30, 4);
    for (size_t i = 0; i < 2; ++i) {
        Put<uint32_t>(b, phoff + i * phsize, 1);
        word(phoff + i * phsize + (wide ? 8 : 4), i * 0x200);
        word(phoff + i * phsize + (wide ? 32 : 16), 0x200 - i * 0x100);
    }
    const uint64_t sections[4][3] = {{0, 0, 0}, {1, 0x200, 0x100}, {8, 0x300, 0x100000}, {3, 0x300, 0x80}};
    for (size_t i = 0; i < 4; ++i) {
        Put<uint32_t>(b, shoff + i * shsize + 4, static_cast<uint32_t>(sections[i][0]));
        word(shoff + i * shsize + (wide ? 24 : 16), sections[i][1]);
        word(shoff + i * shsize + (wide ? 32 : 20), sections[i][2]);
    }
    return b;
}

TEST_F(PackageOffsetTest, ElfImage)
{
    for (bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "ELF64" : "ELF32");
        const std::vector<uint8_t> exe = MakeElf(wide);
        EXPECT_EQ(FindIn(exe), static_cast<int64_t>(exe.size()));
        EXPECT_EQ(FindIn(exe, {}), -1);

        // A section stored after the section header table ends the image behind it.
        std::vector<uint8_t> moved = MakeElf(wide);
        const size_t lastOffset = 0x400 + 3 * (wide ? 64 : 40) + (wide ? 24 : 16);
        if (wide)
            Put<uint64_t>(moved, lastOffset, moved.size());
        else
            Put<uint32_t>(moved, lastOffset, static_cast<uint32_t>(moved.size()));
        moved.resize(moved.size() + 0x80);
        EXPECT_EQ(FindIn(moved), static_cast<int64_t>(moved.size()));
    }
}

TEST_F(PackageOffsetTest, HostileElfHeadersGiveMinusOne)
{
    auto broken = [](auto change) {
        std::vector<uint8_t> exe = MakeElf(true);
        change(exe);
        return exe;
    };
    const size_t secondFilesz = 64 + 56 + 32;
    EXPECT_EQ(FindIn(broken([](auto& e) { e[5] = 2; })), -1) << "big-endian";
    EXPECT_EQ(FindIn(broken([](auto& e) { e[4] = 3; })), -1) << "unknown class";
    EXPECT_EQ(FindIn(broken([](auto& e) { Put<uint64_t>(e, 0x28, UINT64_MAX - 8); })), -1) << "offset wraps";
    EXPECT_EQ(FindIn(broken([](auto& e) { Put<uint16_t>(e, 0x3C, 0xFEFF); })), -1) << "table past the file";
    EXPECT_EQ(FindIn(broken([](auto& e) { Put<uint16_t>(e, 0x3A, 8); })), -1) << "entries too small";
    EXPECT_EQ(FindIn(broken([](auto& e) { Put<uint64_t>(e, 0x20, 0xFFFFFFFF00); })), -1);
    EXPECT_EQ(FindIn(broken([&](auto& e) { Put<uint64_t>(e, secondFilesz, UINT64_MAX); })), -1);
    EXPECT_EQ(FindIn(broken([&](auto& e) { Put<uint64_t>(e, secondFilesz, 0x7FFFFFFF); })), -1);
    EXPECT_EQ(FindIn({0x7F, 'E', 'L', 'F', 2, 1}, {}), -1) << "header cut short";
}

TEST_F(PackageOffsetTest, RealExecutableCarriesAPackage)
{
    for (const std::string& source :
         {std::string(KELVA_BIN_DIR) + "/kelva_tests", std::string("/bin/true")}) {
        if (!std::filesystem::exists(source)) continue;
        SCOPED_TRACE(source);
        const std::string copy = (m_dir / "player").string();
        std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
        const auto imageEnd = static_cast<int64_t>(std::filesystem::file_size(copy));
        EXPECT_EQ(FindPackageOffset(copy), -1);

        const std::vector<uint8_t> package = BuildPackage({{"autorun.kne", "story"}});
        std::ofstream(copy, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(package.data()),
                   static_cast<std::streamsize>(package.size()));
        ASSERT_EQ(FindPackageOffset(copy), imageEnd);

        auto file = FileStream::Open(copy, FileMode::Read);
        ASSERT_TRUE(file);
        file->Seek(imageEnd, SeekOrigin::Begin);
        TReadPackageFile reader;
        std::string error;
        ASSERT_TRUE(reader.OpenStream(*file, error)) << error;
        EXPECT_EQ(ReadEntry(reader, "AUTORUN.KNE"), "story");
    }
}

}  // namespace
}  // namespace kelva
