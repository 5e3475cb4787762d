// The reader's settings as settings.ini keeps them: read once at start-up, written back
// at once (atomically, the file's other lines kept) whenever one changes. Nothing here
// ever stops the player: a missing file means the defaults, and a value that can't be
// read, or a damaged file, is told to `warn` with the file's name and the problem and
// leaves the defaults in its place.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/ReaderSettings.h"
#include "data/SettingsFile.h"

namespace kelva {

class ReaderSettingsStore {
public:
    using Warn = std::function<void(const std::string&)>;

    // Settings kept in the file at `path`, read now. With an empty path they are kept
    // only in memory: the defaults, nothing read or written.
    ReaderSettingsStore(std::string path, Warn warn);

    // $XDG_CONFIG_HOME/kelvanovelrun/settings.ini; empty when there is no home to keep it in.
    static std::string DefaultPath();

    const ReaderSettings& Settings() const { return m_settings; }
    // Takes `settings` and writes them when they differ from the ones held.
    void Change(const ReaderSettings& settings);

private:
    void Load();
    void Save();

    std::string m_path;  // empty: kept in memory only
    Warn m_warn;
    ReaderSettings m_settings;
    SettingsFile m_file;     // the file as read, to write back with its other lines
    bool m_damaged = false;  // the file could not be read as settings and is still there
};

}  // namespace kelva
