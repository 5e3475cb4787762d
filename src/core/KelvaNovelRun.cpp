#include "core/KelvaNovelRun.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "data/Crypt.h"
#include "data/ShiftJis.h"

namespace fs = std::filesystem;

namespace kelva {

namespace {

// A novel file larger than this is not a novel file; refusing it keeps a stray argument
// (a disc image, say) from being read into memory whole.
constexpr int64_t kMaxNovelFileSize = 256 * 1024 * 1024;

std::string FileNameOnly(const std::string& path)
{
    return fs::path(path).filename().string();
}

std::string FolderOf(const std::string& path)
{
    return fs::path(path).parent_path().string();
}

std::string ReplaceExtension(const std::string& path, const std::string& extension)
{
    return fs::path(path).replace_extension(extension).string();
}

}  // namespace

std::string BookmarkFileFor(const std::string& path)
{
    fs::path result = fs::path(path).replace_extension(".knb");
    result.replace_filename(LowerCaseAscii(result.filename().string()));
    return result.string();
}

void Startup::Fail(const std::string& text)
{
    m_messages.Show(kRuntimeCaption, text, MessageIcon::Error);
}

bool Startup::OpenPackage(LoadedGame& game, const std::string& programPath, int64_t packageOffset)
{
    auto stream = FileStream::Open(programPath, FileMode::Read);
    if (!stream || stream->Seek(packageOffset, SeekOrigin::Begin) != packageOffset) return false;
    game.Package = std::make_unique<TReadPackageFile>();
    std::string error;
    // A broken package is shown here, and again as the novel file that can't be found in it.
    if (!game.Package->OpenStream(*stream, error)) {
        m_messages.Show(kPackageErrorCaption, error, MessageIcon::Warning);
    }
    game.ProgramStream = std::move(stream);
    return true;
}

void Startup::ApplyCommandLine(LoadedGame& game, const std::string& programPath, const CommandLine& line)
{
    StartupValues& values = game.Values;
    values.DebugMode = line.DebugMode;
    values.Only16BitDisplay = line.Only16BitDisplay;
    values.SilhouetteMode = line.SilhouetteMode;
    values.NovelFileName = line.NovelFile.empty() ? ReplaceExtension(programPath, ".kne") : line.NovelFile;
    if (line.DataFolder) {
        // A relative novel file name is then opened inside the data folder.
        values.DataFolder = *line.DataFolder;
    } else {
        // The novel file is made absolute first: its folder becomes the current
        // directory, and a relative name would otherwise be looked up twice over.
        std::error_code error;
        const fs::path absolute = fs::absolute(values.NovelFileName, error);
        if (!error) values.NovelFileName = absolute.lexically_normal().string();
        values.DataFolder = FolderOf(values.NovelFileName);
    }
    values.BookmarkFile = line.BookmarkFile ? *line.BookmarkFile : BookmarkFileFor(values.NovelFileName);
}

std::unique_ptr<Stream> Startup::OpenNovelStream(LoadedGame& game)
{
    if (game.Package) {
        TReadPackageFile& package = *game.Package;
        Stream* entry = package.OpenEntry(kNovelEntryName);
        if (!entry) {
            Fail("EXEファイルアーカイブを正しく開けません。\r\n実行を中止します。");
            return nullptr;
        }
        const int64_t size = package.GetEntry(package.IndexOf(kNovelEntryName)).Size;
        if (size > kMaxNovelFileSize) {
            Fail(std::string(kNovelEntryName) +
                 " を読み込めません。\r\nノベルファイルとしては大きすぎます。\r\n実行を中止します。");
            return nullptr;
        }
        // Read once into its final place and descrambled there: no copy on the way.
        std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(size, 0)));
        try {
            entry->ReadExact(bytes.data(), bytes.size());
        } catch (const FormatError& error) {
            Fail(std::string(kNovelEntryName) + " を読み込めません。\r\n" + error.what() +
                 "\r\n実行を中止します。");
            return nullptr;
        }
        CryptBytes(bytes);
        return std::make_unique<MemoryStream>(std::move(bytes));
    }
    const std::string& name = game.Values.NovelFileName;
    auto file = FileStream::Open(name, FileMode::Read);
    if (!file || file->Size() < 0) {
        // A relative name is looked for in the data folder, which may not be where the
        // reader thought: say where.
        std::error_code error;
        const std::string folder = FolderOf(fs::absolute(name, error).lexically_normal().string());
        Fail("ファイル " + FileNameOnly(name) + " を開けません。\r\n探した場所: " + folder +
             "\r\n実行を中止します。");
        return nullptr;
    }
    const std::string extension = LowerCaseAscii(fs::path(name).extension().string());
    if (extension == ".yaml" || extension == ".yml") {
        // A story source has to be built first; say how instead of failing on its bytes.
        const std::string shown = FileNameOnly(name);
        Fail(shown + " はストーリーのソースです。\r\nknovel build " + shown + " -o " +
             FileNameOnly(ReplaceExtension(name, ".kne")) + " でノベルファイルを作ってから開いてください。");
        return nullptr;
    }
    if (file->Size() > kMaxNovelFileSize) {
        Fail(FileNameOnly(name) +
             " を読み込めません。\r\nノベルファイルとしては大きすぎます。\r\n実行を中止します。");
        return nullptr;
    }
    return ReadWholeFile(name);
}

bool Startup::LoadStory(LoadedGame& game, Stream& novel)
{
    const std::string shownName = game.Package ? std::string() : FileNameOnly(game.Values.NovelFileName);
    NovelStory& story = *game.Story;
    try {
        story.Header.LoadFromStream(novel);
        if (story.Header.Version != 7) {
            Fail(shownName + " のファイルバージョンが違います。\r\nKelva! Novel " + kRuntimeVersion +
                 " で保存しなおしてください。");
            return false;
        }
        if (story.Header.UsesMp3 && !m_mp3.IsMp3LibraryLoaded()) {
            Fail("VBMP3.DLL のロードに失敗しました.\rMP3を使用した音声は再生できません.");
        }
        story.InitialCounters.LoadFromStream(novel);
        story.Counters.Assign(story.InitialCounters);
        story.Items.LoadFromStream(novel);
    } catch (const FormatError& error) {
        const std::string name = game.Package ? kNovelEntryName : shownName;
        Fail(name + " を読み込めません。\r\n" + error.what() + "\r\n実行を中止します。");
        return false;
    }
    return true;
}

std::unique_ptr<LoadedGame> Startup::Run(const std::string& programPath, int64_t packageOffset,
                                         const CommandLine& line)
{
    auto game = std::make_unique<LoadedGame>();

    if (packageOffset >= 0 && OpenPackage(*game, programPath, packageOffset)) {
        game->Values.DataFolder = FolderOf(programPath);
        game->Values.BookmarkFile = BookmarkFileFor(programPath);
    } else {
        ApplyCommandLine(*game, programPath, line);
    }
    std::error_code ignored;  // a folder that can't be entered is not an error here
    if (!game->Values.DataFolder.empty()) fs::current_path(game->Values.DataFolder, ignored);
    m_phaseDone("read package");

    m_mp3.LoadMp3Library(m_libraries, m_messages, FolderOf(programPath));
    m_phaseDone("MP3 library");

    game->Story = std::make_unique<NovelStory>();
    const std::unique_ptr<Stream> novel = OpenNovelStream(*game);
    if (!novel || !LoadStory(*game, *novel)) return nullptr;
    m_phaseDone("novel file");

    const CNovelFileHeader& header = game->Story->Header;
    if (header.FontKind == 0) game->StoryFont = FontSpec{kGothicFace, 0, false};
    if (header.FontKind == 1) game->StoryFont = FontSpec{kMinchoFace, 0, true};
    game->StoryFont.Height = header.FontHeight;
    game->SpareFont = game->StoryFont;
    return game;
}

}  // namespace kelva
