#include "core/BookmarkStore.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "data/AtomicFile.h"
#include "platform/TextCodec.h"
#include "platform/UserFolders.h"

namespace kelva {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCaption = "しおり";
constexpr int kDamagedNameTries = 100;
// Far beyond 50 bookmarks with full counter tables; anything larger is not read into memory.
constexpr uintmax_t kMaxFileBytes = uintmax_t{64} << 20;

// A path as the messages show it (CP932), whatever the file system's names hold.
std::string ShownPath(const std::string& path)
{
    return Utf8ToCp932(path).value_or(path);
}

std::string ReasonText(const FileError& error)
{
    switch (error.Code) {
        case ENOSPC:
        case EDQUOT:
            return "ディスクに空きがありません";
        case EROFS:
            return "読み取り専用の場所です";
        case EACCES:
        case EPERM:
            return "書き込む権限がありません";
        case EWOULDBLOCK:
            return "別のプログラムが書き込み中です";
        default:
            return ShownPath(error.Text);
    }
}

}  // namespace

std::string BookmarkLocation::Describe() const
{
    if (ReadPath == WritePath) return "bookmark file: " + WritePath;
    return "bookmark file: " + WritePath + " (read from " + ReadPath + " until it exists)";
}

bool FolderWritable(const std::string& filePath)
{
    const fs::path folder = fs::path(filePath).parent_path();
    return access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

BookmarkLocation ChooseBookmarkLocation(const std::string& gamePath, bool gameFolderWritable)
{
    const std::string dataFolder = UserFolder(UserFolderKind::Data);
    if (gameFolderWritable || dataFolder.empty()) return {gamePath, gamePath};
    const std::string own = (fs::path(dataFolder) / "kelvanovelrun" / fs::path(gamePath).filename()).string();
    std::error_code error;
    return {fs::exists(own, error) ? own : gamePath, own};
}

BookmarkStore::BookmarkStore(BookmarkLocation location, MessageBox& messages)
    : m_location(std::move(location)), m_messages(messages)
{
}

void BookmarkStore::Load()
{
    m_list.Clear();
    m_damaged.reset();
    m_unread = false;
    // Taken before reading: a file replaced in between makes the next write read again.
    m_version = VersionOf(m_location.WritePath);
    if (m_version.Exists) m_location.ReadPath = m_location.WritePath;
    const std::string& path = m_location.ReadPath;
    std::error_code missing;
    if (!fs::exists(path, missing)) return;
    std::error_code sizeError;
    const auto size = fs::file_size(path, sizeError);
    const auto file = sizeError || size > kMaxFileBytes ? nullptr : ReadWholeFile(path);
    if (!file) {
        m_unread = true;
        Report("しおりファイル「" + ShownPath(path) +
               "」を読めません。しおりなしで始めます。元のファイルは書き換える前に「" +
               ShownPath(m_location.WritePath) + ".damaged」へ移します。");
        return;
    }
    const std::string problem = m_list.LoadReadable(*file);
    if (problem.empty()) return;
    m_damaged = file->Bytes();
    Report("しおりファイル「" + ShownPath(path) + "」をすべては読めませんでした。\n" + problem + "\n読めた " +
           std::to_string(Count()) + " 個のしおりを使います。元のファイルは書き換える前に「" +
           ShownPath(m_location.WritePath) + ".damaged」として残します。");
}

bool BookmarkStore::Record(int index, const TBookmarkData& bookmark)
{
    if (index == Count() && m_list.IsFull()) {
        Report("しおりは " + std::to_string(kMaxBookmarks) +
               " 個までしかはさめません。今あるしおりに上書きしてください。");
        return false;
    }
    if (index < 0 || index > Count()) return false;
    MemoryStream previous;
    m_list.SaveToStream(previous);
    TBookmarkData& slot = *m_list.RecordSlot(index);
    slot = bookmark;
    return Rewrite(previous.TakeBytes());
}

bool BookmarkStore::Remove(int index)
{
    if (index < 0 || index >= Count()) return false;
    MemoryStream previous;
    m_list.SaveToStream(previous);
    m_list.Delete(index);
    return Rewrite(previous.TakeBytes());
}

bool BookmarkStore::Rewrite(std::vector<uint8_t> previous)
{
    MemoryStream out;
    m_list.SaveToStream(out);
    const std::string& path = m_location.WritePath;
    std::error_code ignored;
    fs::create_directories(fs::path(path).parent_path(), ignored);
    FileError error;
    const bool kept = KeepDamagedFile();
    if (kept && WriteFileAtomically(path, out.Bytes(), error, &m_version)) {
        m_location.ReadPath = path;
        return true;
    }
    // The list goes back to what the file still holds.
    MemoryStream before(std::move(previous));
    m_list.LoadFromStream(before);
    if (!kept) return false;
    if (error.Code == ESTALE) {
        // Another copy of the game wrote its bookmarks: writing ours would drop theirs.
        Report("しおりファイル「" + ShownPath(path) +
               "」がほかのプログラムに書き換えられていたので、読み直しました。もう一度やり直してください。");
        Load();
        return false;
    }
    Report("しおりファイル「" + ShownPath(path) + "」に書き込めませんでした（" + ReasonText(error) +
           "）。しおりは変わっていません。");
    return false;
}

bool BookmarkStore::KeepDamagedFile()
{
    // A file that was never read and lies elsewhere is not written over at all.
    if (m_unread && m_location.ReadPath != m_location.WritePath) m_unread = false;
    if (!m_damaged && !m_unread) return true;
    std::string name = m_location.WritePath + ".damaged";
    std::error_code error;
    for (int n = 2; fs::exists(name, error) && n <= kDamagedNameTries; ++n) {
        name = m_location.WritePath + ".damaged." + std::to_string(n);
    }
    FileError failure;
    bool kept = true;
    if (m_damaged) {
        kept = WriteFileAtomically(name, *m_damaged, failure);
    } else if (std::rename(m_location.WritePath.c_str(), name.c_str()) != 0) {
        failure = {errno, std::strerror(errno)};
        kept = false;
    } else {
        m_version = {};  // nothing stands at the name now
    }
    if (!kept) {
        Report("壊れたしおりファイルを「" + ShownPath(name) + "」として残せませんでした（" +
               ReasonText(failure) + "）。しおりは変わっていません。");
        return false;
    }
    m_damaged.reset();
    m_unread = false;
    return true;
}

void BookmarkStore::Report(const std::string& text)
{
    m_messages.Show(kCaption, text, MessageIcon::Warning);
}

}  // namespace kelva
