#include "data/MediaFiles.h"

#include <filesystem>
#include <system_error>

#include "data/ShiftJis.h"

namespace kelva {

namespace fs = std::filesystem;

namespace {

// "\" to "/", leaving the second byte of a double-byte character alone: 0x5C is a valid
// trail byte ("ソ", "表" ...), and turning it into a separator would break the name.
std::string ToSlashes(std::string_view name)
{
    std::string result(name);
    for (size_t i = 0; i < result.size(); ++i) {
        const auto c = static_cast<unsigned char>(result[i]);
        if (IsSjisLeadByte(c)) {
            ++i;
        } else if (c == '\\') {
            result[i] = '/';
        }
    }
    return result;
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::path(path), ignored);
}

std::string Join(const std::string& folder, std::string_view part)
{
    if (folder.empty()) return std::string(part);
    if (folder.back() == '/') return folder + std::string(part);
    return folder + "/" + std::string(part);
}

// The entry of `folder` whose name equals `part` ignoring ASCII case; empty when none.
// Several can match on this file system ("a.bmp" and "A.BMP"): the smallest name wins,
// so the choice doesn't depend on the order the directory lists them in.
std::string FindFolded(const std::string& folder, std::string_view part)
{
    const std::string wanted = UpperCaseAscii(part);
    std::string best;
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), error);
    if (error) return best;
    for (const fs::directory_entry& entry : it) {
        std::string candidate = entry.path().filename().string();
        if (UpperCaseAscii(candidate) == wanted && (best.empty() || candidate < best))
            best = std::move(candidate);
    }
    return best;
}

bool HasNonAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

}  // namespace

Stream* MediaFiles::OpenEntry(std::string_view name, int64_t& size)
{
    if (!m_package) return nullptr;
    const int index = m_package->IndexOf(name);
    if (index < 0) return nullptr;
    Stream* stream = m_package->OpenEntry(name);
    if (!stream) return nullptr;
    size = m_package->GetEntry(index).Size;
    return stream;
}

std::optional<std::vector<uint8_t>> MediaFiles::ReadEntry(std::string_view name)
{
    int64_t size = 0;
    Stream* stream = OpenEntry(name, size);
    if (!stream || size < 0) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    try {
        stream->ReadExact(bytes.data(), bytes.size());
    } catch (const FormatError&) {
        return std::nullopt;
    }
    return bytes;
}

std::string MediaFiles::DiskPath(std::string_view name) const
{
    const std::string mapped = ToSlashes(name);
    if (mapped.empty() || Exists(mapped)) return mapped;

    std::string result;
    size_t start = 0;
    if (mapped.front() == '/') {
        result = "/";
        start = 1;
    }
    while (start <= mapped.size()) {
        size_t end = mapped.find('/', start);
        if (end == std::string::npos) end = mapped.size();
        const std::string_view part = std::string_view(mapped).substr(start, end - start);
        const bool last = end == mapped.size();
        start = end + 1;
        if (part.empty()) {
            // "a//b": the doubled separator means nothing to either file system.
            if (last) break;
            continue;
        }

        std::string exact = Join(result, part);
        if (part == "." || part == ".." || Exists(exact)) {
            result = std::move(exact);
            continue;
        }
        std::string found = FindFolded(result, part);
        if (found.empty() && m_toDiskName && HasNonAscii(part)) {
            const std::string converted = m_toDiskName(part);
            if (Exists(Join(result, converted))) {
                found = converted;
            } else {
                found = FindFolded(result, converted);
            }
        }
        if (found.empty()) {
            // Nothing on disk goes on from here: hand back the rest as written.
            result = Join(result, std::string_view(mapped).substr(end - part.size()));
            break;
        }
        result = Join(result, found);
    }
    return result;
}

std::optional<std::vector<uint8_t>> MediaFiles::ReadDiskFile(std::string_view name) const
{
    const std::string path = DiskPath(name);
    std::error_code error;
    if (!fs::is_regular_file(fs::path(path), error)) return std::nullopt;
    std::unique_ptr<MemoryStream> file = ReadWholeFile(path);
    if (!file) return std::nullopt;
    return file->TakeBytes();
}

}  // namespace kelva
