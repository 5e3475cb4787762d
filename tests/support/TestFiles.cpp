#include "support/TestFiles.h"

#include <png.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "data/Stream.h"

namespace kelva::test {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kelva-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

CommandResult RunKnovel(const std::string& arguments)
{
    return RunCommand(std::string(KELVA_BIN_DIR) + "/knovel " + arguments);
}

std::vector<uint32_t> PngPixels(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;  // RGBA in memory is 0xAABBGGRR
    return pixels;
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

NovelParts::NovelParts()
{
    Header.StartItem = "start";
    Counters.Add({"A", 1, 0, 10, false});
    CNovelItem* item = Items.Add();
    item->Name = "start";
    item->Lines = {"こんにちは。"};
    item->Kind = kItemEnd;
}

std::vector<uint8_t> NovelFileBytes(const NovelParts& parts)
{
    return kelva::NovelFileBytes(parts.Header, parts.Counters, parts.Items);
}

}  // namespace kelva::test
