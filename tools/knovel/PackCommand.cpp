// knovel pack, list and unpack: building a game package from a data folder and a novel
// file, and looking into or taking apart a package or a packed game.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

#include "Commands.h"
#include "NovelFile.h"
#include "PackageFiles.h"
#include "Printable.h"
#include "Subprocess.h"
#include "data/AtomicFile.h"
#include "data/Crypt.h"
#include "data/PackageWriter.h"
#include "data/ShiftJis.h"

namespace kelva::knovel {

namespace {

namespace fs = std::filesystem;

// Positional arguments and the values of the options that take one.
struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
};

// Options are given as "-o VALUE" or "--exe VALUE"; `names` lists the accepted ones,
// each with its aliases mapped to one key. nullopt, after a message, on a bad option.
std::optional<ParsedArguments> ParseArguments(const Arguments& args,
                                              const std::map<std::string, std::string>& names)
{
    ParsedArguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            const auto found = names.find(arg);
            if (found == names.end()) {
                Fail("unknown option " + arg);
                return std::nullopt;
            }
            if (i + 1 >= args.size()) {
                Fail("option " + arg + " needs a value");
                return std::nullopt;
            }
            if (!parsed.options.emplace(found->second, args[++i]).second) {
                Fail("option " + arg + " given twice");
                return std::nullopt;
            }
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

bool SameFile(const fs::path& a, const fs::path& b)
{
    std::error_code error;
    return fs::exists(b, error) && fs::equivalent(a, b, error);
}

struct DataFile {
    std::string entryName;  // CP932
    fs::path path;
    std::vector<std::string> sortKey;  // the name's components, ASCII letters upper-cased
};

// Every regular file below `folder`, with its entry name, sorted by entry name so the same
// folder always gives the same package. Files in `skip` (the story, the output) are left
// out. nullopt after a message when a name can't go into a package.
std::optional<std::vector<DataFile>> CollectDataFiles(const fs::path& folder,
                                                      const std::vector<fs::path>& skip)
{
    std::vector<DataFile> files;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, error);
    if (error) {
        Fail("cannot read the folder " + folder.string() + ": " + error.message());
        return std::nullopt;
    }
    for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error) break;
        if (!it->is_regular_file(error)) continue;
        if (std::any_of(skip.begin(), skip.end(),
                        [&](const fs::path& p) { return SameFile(it->path(), p); })) {
            continue;
        }
        const fs::path relative = it->path().lexically_relative(folder);
        std::string problem;
        const auto name = EntryNameFromPath(relative, problem);
        if (!name) {
            Fail(problem);
            return std::nullopt;
        }
        if (name->size() > static_cast<size_t>(kPackageNameCapacity)) {
            Fail("'" + relative.string() + "': the name is " + std::to_string(name->size()) +
                 " bytes in Shift-JIS; a package holds at most 255");
            return std::nullopt;
        }
        if (IsNovelEntryName(*name)) {
            Fail("'" + relative.string() + "': the data folder must not hold " +
                 std::string(kNovelEntryName) + "; the story goes into the package under that name");
            return std::nullopt;
        }
        DataFile file{*name, it->path(), {}};
        for (const fs::path& part : relative)
            file.sortKey.push_back(UpperCaseAscii(*EntryNameFromPath(part, problem)));
        files.push_back(std::move(file));
    }
    if (error) {
        Fail("cannot read the folder " + folder.string() + ": " + error.message());
        return std::nullopt;
    }
    // Folder by folder, letter case aside, so a folder's files stay together.
    std::sort(files.begin(), files.end(), [](const DataFile& a, const DataFile& b) {
        return a.sortKey != b.sortKey ? a.sortKey < b.sortKey : a.entryName < b.entryName;
    });

    // The player finds entries without regard to letter case, so two names that differ
    // only in case would hide one of the files.
    std::map<std::string, const DataFile*> folded;
    for (const DataFile& file : files) {
        const auto [found, added] = folded.emplace(UpperCaseAscii(file.entryName), &file);
        if (!added) {
            Fail("'" + found->second->path.lexically_relative(folder).string() + "' and '" +
                 file.path.lexically_relative(folder).string() +
                 "' differ only in letter case; the player could not tell them apart");
            return std::nullopt;
        }
    }
    return files;
}

// Debug information is most of a player's size and no use to a reader. It goes before the
// package is appended: stripping the finished game would cut the package off. When the
// system's strip can't do it the image stays as it is.
void StripDebugInformation(std::vector<uint8_t>& image)
{
    TemporaryFile file("knovel-player");
    std::string error = "cannot write a temporary file";
    if (file.IsOpen() && file.Write(image) &&
        RunProgram({"strip", "--strip-debug", file.Path()}, "", -1, error)) {
        if (auto stripped = ReadWholeFile(file.Path())) {
            image = stripped->TakeBytes();
            return;
        }
    }
    std::fprintf(stderr, "knovel: note: the player keeps its debug information (%s)\n", error.c_str());
}

}  // namespace

int RunPack(const Arguments& args)
{
    const char* usage = "usage: knovel pack DATA_DIR STORY.kne -o OUT [--exe PLAYER]";
    const auto parsed = ParseArguments(args, {{"-o", "out"}, {"--output", "out"}, {"--exe", "exe"}});
    if (!parsed) return 1;
    if (parsed->positional.size() != 2 || !parsed->options.count("out")) return Fail(usage);
    const fs::path dataFolder = parsed->positional[0];
    const std::string storyPath = parsed->positional[1];
    const std::string outPath = parsed->options.at("out");

    std::error_code error;
    if (!fs::is_directory(dataFolder, error)) return Fail(dataFolder.string() + " is not a folder");
    const auto story = ReadWholeFile(storyPath);
    if (!story) return Fail("cannot read " + storyPath);
    if (!HasNovelMagic(story->Bytes())) {
        return Fail(storyPath + (HasScrambledNovelMagic(story->Bytes())
                                     ? " is already scrambled; give the plain novel file"
                                     : " is not a novel file"));
    }

    // The player part of a game: the player executable up to the end of its image, so a
    // package that is already appended to it (a game given as the player) is left behind
    // instead of stacking a second one on top.
    std::vector<uint8_t> output;
    if (parsed->options.count("exe")) {
        const std::string playerPath = parsed->options.at("exe");
        const auto player = ReadWholeFile(playerPath);
        if (!player) return Fail("cannot read " + playerPath);
        const int64_t imageEnd = FindImageEnd(*player);
        if (imageEnd <= 0 || imageEnd > player->Size())
            return Fail(playerPath + " is not an executable program");
        output.assign(player->Bytes().begin(), player->Bytes().begin() + imageEnd);
        StripDebugInformation(output);
    }

    const auto files = CollectDataFiles(dataFolder, {fs::path(storyPath), fs::path(outPath)});
    if (!files) return 1;

    PackageWriter writer;
    try {
        MemoryStream plain(story->Bytes());
        writer.Add(std::string(kNovelEntryName), CryptStream(plain)->TakeBytes());
        for (const DataFile& file : *files) {
            const auto bytes = ReadWholeFile(file.path.string());
            if (!bytes) return Fail("cannot read " + file.path.string());
            writer.Add(file.entryName, bytes->TakeBytes());
        }
    } catch (const PackageError& e) {
        return Fail(ForTerminal(e.what()));
    }

    MemoryStream package(std::move(output));
    package.Seek(0, SeekOrigin::End);
    writer.WriteTo(package);
    std::string writeError;
    if (!WriteFileAtomically(outPath, package.Bytes(), writeError)) {
        return Fail("cannot write " + outPath + ": " + writeError);
    }
    if (parsed->options.count("exe") && chmod(outPath.c_str(), 0755) != 0) {
        return Fail("cannot make " + outPath + " executable: " + std::strerror(errno));
    }
    std::printf("%s: %d entries, %zu bytes\n", outPath.c_str(), writer.Count(), package.Bytes().size());
    return 0;
}

int RunList(const Arguments& args)
{
    if (args.size() != 1) return Fail("usage: knovel list PACKAGE_OR_GAME");
    std::string error;
    const auto source = PackageSource::Open(args[0], error);
    if (!source) return Fail(error);
    const TReadPackageFile& reader = source->Reader();
    for (int i = 0; i < reader.Count(); ++i) {
        const TPackageEntry entry = reader.GetEntry(i);
        std::printf("%10" PRId32 " %10" PRId32 "  %s\n", entry.Size, entry.Offset,
                    Printable(entry.Name).c_str());
    }
    return 0;
}

namespace {

// Writes entry `index` of `source` to `relative` below `target`; false after reporting why
// it couldn't.
bool UnpackEntry(PackageSource& source, int index, const fs::path& target, const fs::path& relative,
                 const std::string& input)
{
    const fs::path file = target / relative;
    // Folders that already exist must be real folders: a symbolic link among them could
    // lead the file outside the target.
    std::error_code fsError;
    fs::path folder = target;
    for (const fs::path& part : relative.parent_path()) {
        folder /= part;
        const fs::file_status status = fs::symlink_status(folder, fsError);
        if (fs::is_symlink(status)) {
            Fail("refusing to write through the symbolic link " + folder.string());
            return false;
        }
        if (!fs::exists(status)) fs::create_directory(folder, fsError);
        if (fsError || !fs::is_directory(fs::symlink_status(folder, fsError))) {
            Fail("cannot create the folder " + folder.string());
            return false;
        }
    }

    std::vector<uint8_t> bytes;
    try {
        bytes = source.ReadEntry(index);
    } catch (const FormatError& e) {
        Fail(input + ": " + ForTerminal(e.what()));
        return false;
    }
    if (IsNovelEntryName(source.Reader().GetEntry(index).Name)) {
        MemoryStream scrambled(std::move(bytes));
        bytes = CryptStream(scrambled)->TakeBytes();
    }
    std::string error;
    if (!WriteFileAtomically(file.string(), bytes, error)) {
        Fail("cannot write " + file.string() + ": " + error);
        return false;
    }
    return true;
}

}  // namespace

int RunUnpack(const Arguments& args)
{
    std::string input, output;
    if (!InputAndOutput(args, input, output)) return Fail("usage: knovel unpack PACKAGE_OR_GAME -o DIR");
    const fs::path target = output;

    std::string error;
    const auto source = PackageSource::Open(input, error);
    if (!source) return Fail(error);
    const TReadPackageFile& reader = source->Reader();

    // Every name is checked before anything is written: a package with one unsafe name
    // leaves no partial output behind.
    std::vector<fs::path> paths;
    for (int i = 0; i < reader.Count(); ++i) {
        std::string problem;
        const auto path = ExtractPathFromEntryName(reader.GetEntry(i).Name, problem);
        if (!path) return Fail("refusing to unpack: " + problem);
        paths.push_back(*path);
    }

    std::error_code fsError;
    fs::create_directories(target, fsError);
    if (fsError || !fs::is_directory(target)) return Fail("cannot create the folder " + target.string());
    // An entry that can't be written is reported and the rest are still extracted.
    int failed = 0;
    for (int i = 0; i < reader.Count(); ++i) {
        if (!UnpackEntry(*source, i, target, paths[static_cast<size_t>(i)], input)) ++failed;
    }
    if (failed > 0)
        return Fail(target.string() + ": " + std::to_string(failed) + " of " +
                    std::to_string(reader.Count()) + " entries not extracted");
    std::printf("%s: %d entries\n", target.c_str(), reader.Count());
    return 0;
}

}  // namespace kelva::knovel
