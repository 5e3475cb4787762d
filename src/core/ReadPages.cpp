#include "core/ReadPages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "data/AtomicFile.h"
#include "data/Stream.h"
#include "platform/UserFolders.h"

namespace kelva {

namespace fs = std::filesystem;

namespace {

// Every page a file may hold, with its header and check sum, and some room to spare.
constexpr uintmax_t kMaxFileBytes = kMaxReadPages * 16 + 64;

}  // namespace

std::string ReadPagesPath(const std::string& bookmarkFile)
{
    const std::string state = UserFolder(UserFolderKind::State);
    if (state.empty()) return {};
    return (fs::path(state) / "kelvanovelrun" / (fs::path(bookmarkFile).stem().string() + ".read")).string();
}

ReadPages::ReadPages(std::string path, Warn warn) : m_path(std::move(path)), m_warn(std::move(warn)) {}

void ReadPages::Load()
{
    if (m_path.empty()) return;
    std::error_code error;
    const fs::file_status status = fs::status(m_path, error);
    if (!fs::exists(status)) return;
    std::string problem;
    const uintmax_t size = fs::is_regular_file(status) ? fs::file_size(m_path, error) : 0;
    if (!fs::is_regular_file(status)) {
        problem = "not a regular file";
    } else if (error || size > kMaxFileBytes) {
        problem = error ? error.message() : std::to_string(size) + " bytes is too large";
    } else if (const auto file = ReadWholeFile(m_path)) {
        problem = DecodeReadPages(file->Bytes(), m_pages);
    } else {
        problem = "it can't be read";
    }
    if (problem.empty()) return;
    const std::string aside = m_path + ".damaged";
    if (std::rename(m_path.c_str(), aside.c_str()) == 0) {
        m_warn(m_path + ": " + problem + "; starting with no pages read (the file is kept as " + aside + ")");
        return;
    }
    m_writable = false;
    m_warn(m_path + ": " + problem +
           "; starting with no pages read, and the record is not written this time (" + aside + ": " +
           std::strerror(errno) + ")");
}

void ReadPages::TextBegins(const CNovelItem* item, ReadingPosition position)
{
    m_current.reset();
    m_currentRead = false;
    if (!item) return;
    const ReadPage page{ItemFingerprint(item->Name, item->Lines), position.Line, position.Character};
    m_currentRead = m_pages.contains(page);
    m_current = page;
}

void ReadPages::TextEnds()
{
    if (!m_current) return;
    if (m_pages.size() < kMaxReadPages && m_pages.insert(*m_current).second) m_changed = true;
    m_current.reset();
}

void ReadPages::SaveIfDue(int64_t nowMs)
{
    if (!m_changed || (m_lastSave && nowMs - *m_lastSave < kSaveGapMs)) return;
    m_lastSave = nowMs;
    Save();
}

void ReadPages::Save()
{
    if (m_path.empty() || !m_writable || !m_changed) return;
    std::error_code ignored;
    fs::create_directories(fs::path(m_path).parent_path(), ignored);
    std::string error;
    if (!WriteFileAtomically(m_path, EncodeReadPages(m_pages), error)) {
        // Tried again at the next item's end; said once, not at every try.
        if (!std::exchange(m_writeFailed, true))
            m_warn(m_path + ": the pages read can't be written: " + error);
        return;
    }
    m_changed = false;
    m_writeFailed = false;
}

}  // namespace kelva
