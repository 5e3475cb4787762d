#include "PackageFiles.h"

#include <cerrno>
#include <cstring>

#include "Commands.h"
#include "data/ShiftJis.h"
#include "platform/TextCodec.h"

namespace kelva::knovel {

namespace fs = std::filesystem;

bool IsNovelEntryName(std::string_view name)
{
    return UpperCaseAscii(name) == UpperCaseAscii(kNovelEntryName);
}

std::optional<std::string> EntryNameFromPath(const fs::path& relative, std::string& problem)
{
    std::string name;
    for (const fs::path& part : relative) {
        const std::string component = part.string();
        if (component.find('\\') != std::string::npos) {
            problem =
                "'" + relative.string() + "': a backslash in a file name would be read as a folder separator";
            return std::nullopt;
        }
        const auto converted = Utf8ToCp932(component);
        if (!converted) {
            problem = "'" + relative.string() + "': the name is not text that Shift-JIS (CP932) can hold";
            return std::nullopt;
        }
        if (!name.empty()) name += '\\';
        name += *converted;
    }
    return name;
}

std::optional<fs::path> ExtractPathFromEntryName(std::string_view name, std::string& problem)
{
    const std::string shown = "'" + Cp932ToUtf8(name) + "'";
    if (name.empty()) {
        problem = "an entry has an empty name";
        return std::nullopt;
    }
    if (name.find('\0') != std::string_view::npos) {
        problem = shown + ": the name holds a NUL byte";
        return std::nullopt;
    }
    const std::string utf8 = Cp932ToUtf8(name);
    if (Utf8ToCp932(utf8) != std::string(name)) {
        problem = shown + ": the name is not valid Shift-JIS (CP932)";
        return std::nullopt;
    }

    // Split at separators, stepping over double-byte characters: the trail byte of a
    // character such as 0x95 0x5C is no backslash.
    std::vector<std::string> components(1);
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (IsSjisLeadByte(c) && i + 1 < name.size()) {
            components.back() += name.substr(i, 2);
            ++i;
        } else if (c == '\\' || c == '/') {
            components.emplace_back();
        } else {
            components.back() += static_cast<char>(c);
        }
    }
    fs::path result;
    for (const std::string& component : components) {
        if (component.empty()) {
            problem = shown + ": an absolute path or an empty folder name";
            return std::nullopt;
        }
        if (component == "." || component == "..") {
            problem = shown + ": a '" + component + "' folder would lead outside the target folder";
            return std::nullopt;
        }
        if (component.find(':') != std::string::npos) {
            problem = shown + ": a drive letter or a ':' in the name";
            return std::nullopt;
        }
        result /= Cp932ToUtf8(component);
    }
    return result;
}

std::unique_ptr<PackageSource> PackageSource::Open(const std::string& path, std::string& error)
{
    auto file = FileStream::Open(path, FileMode::Read);
    if (!file) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    char magic[kPackageMagic.size()] = {};
    const bool bare = file->Read(magic, sizeof magic) == sizeof magic &&
                      std::memcmp(magic, kPackageMagic.data(), sizeof magic) == 0;
    const int64_t offset = bare ? 0 : FindPackageOffset(path);
    if (offset < 0) {
        error = path + " is neither a package nor a game with a package appended";
        return nullptr;
    }
    return OpenAt(path, offset, error);
}

std::unique_ptr<PackageSource> PackageSource::OpenAt(const std::string& path, int64_t offset,
                                                     std::string& error)
{
    auto file = FileStream::Open(path, FileMode::Read);
    if (!file) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<PackageSource> source(new PackageSource(std::move(file)));
    source->m_offset = offset;
    source->m_fileSize = source->m_file->Size();
    if (source->m_file->Seek(offset, SeekOrigin::Begin) != offset) {
        error = "cannot read " + path;
        return nullptr;
    }
    std::string problem;
    if (!source->m_reader.OpenStream(*source->m_file, problem)) {
        error = path + ": " + ForTerminal(problem);
        return nullptr;
    }
    return source;
}

std::vector<uint8_t> PackageSource::ReadEntry(int index)
{
    // The reader checked at opening that every entry lies inside the data area.
    const TPackageEntry entry = m_reader.GetEntry(index);
    if (entry.Size < 0) throw FormatError("entry index out of range");
    const int64_t position = m_reader.DataStart() + entry.Offset;
    if (m_file->Seek(position, SeekOrigin::Begin) != position) throw FormatError("seek failed");
    std::vector<uint8_t> bytes(static_cast<size_t>(entry.Size));
    m_file->ReadExact(bytes.data(), bytes.size());
    return bytes;
}

}  // namespace kelva::knovel
