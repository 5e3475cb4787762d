// Helpers for the character layer and stage tests: solid images, BMP and JPEG bytes,
// byte-exact image comparison, a scratch current directory and packages held in memory.
#pragma once

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/MediaFiles.h"
#include "data/PackageFile2.h"
#include "data/PackageWriter.h"
#include "data/Stream.h"
#include "graphics/NkDIB.h"
#include "platform/headless/RecordingMessageBox.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include "support/JpegEncoding.h"

namespace kelva::test {

// The pixel bytes of two 24-bit images (row padding left out), with the first difference.
inline ::testing::AssertionResult SameBytes(const TNkDIB& actual, const TNkDIB& expected)
{
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < actual.Height(); ++y)
        for (int i = 0; i < actual.Width() * 3; ++i)
            if (actual.ScanLine(y)[i] != expected.ScanLine(y)[i])
                return ::testing::AssertionFailure()
                       << "row " << y << " byte " << i << ": " << int{actual.ScanLine(y)[i]} << " instead of "
                       << int{expected.ScanLine(y)[i]};
    return ::testing::AssertionSuccess();
}

inline TNkDIB SolidImage(int width, int height, TColor colour)
{
    TNkDIB image(width, height, 24);
    image.FillRect(image.BoundsRect(), colour);
    return image;
}

inline std::vector<uint8_t> BmpBytes(const TNkDIB& image)
{
    MemoryStream stream;
    image.SaveToStream(stream);
    return stream.TakeBytes();
}

// A JPEG of `width` x `height` pixels, each coloured by `pixel`; quality 95.
inline std::vector<uint8_t> JpegBytes(int width, int height, const std::function<TColor(int, int)>& pixel)
{
    return EncodeJpeg(width, height, JCS_RGB, [&](int x, int y, uint8_t* rgb) {
        const TColor colour = pixel(x, y);
        rgb[0] = static_cast<uint8_t>(ColorRed(colour));
        rgb[1] = static_cast<uint8_t>(ColorGreen(colour));
        rgb[2] = static_cast<uint8_t>(ColorBlue(colour));
    });
}

// A fresh current directory for the test's files, restored afterwards.
class MediaDirectory {
public:
    MediaDirectory() { std::filesystem::current_path(m_dir.Path()); }
    void Write(const std::string& path, const std::vector<uint8_t>& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(m_dir.File(path)).parent_path());
        WriteBytes(m_dir.File(path), bytes);
    }

private:
    CurrentDirectoryGuard m_restore;
    TempDir m_dir;
};

// A package held in memory, opened, with its media view.
class MemoryPackage {
public:
    explicit MemoryPackage(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries)
    {
        PackageWriter writer;
        for (const auto& [name, bytes] : entries) writer.Add(name, bytes);
        MemoryStream out;
        writer.WriteTo(out);
        m_stream = std::make_unique<MemoryStream>(out.TakeBytes());
        std::string error;
        m_reader.OpenStream(*m_stream, error);
    }
    MemoryPackage(const MemoryPackage&) = delete;
    MemoryPackage& operator=(const MemoryPackage&) = delete;

    TReadPackageFile& Reader() { return m_reader; }
    MediaFiles& Media() { return m_media; }

private:
    std::unique_ptr<MemoryStream> m_stream;
    TReadPackageFile m_reader;
    MediaFiles m_media{&m_reader};
};

}  // namespace kelva::test
