#include "core/ReaderSettingsStore.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>
#include <vector>

#include "data/AtomicFile.h"
#include "platform/UserFolders.h"

namespace kelva {

namespace {

namespace fs = std::filesystem;

// The keys of settings.ini: each names a number in a range or a yes/no setting.
struct Field {
    const char* Key;
    int ReaderSettings::*Number;
    bool ReaderSettings::*Flag;
    int Min;
    int Max;
};

constexpr Field kFields[] = {
    {"volume", &ReaderSettings::VolumePercent, nullptr, 0, 100},
    {"mute", nullptr, &ReaderSettings::Muted, 0, 0},
    {"text_speed", &ReaderSettings::TextSpeedPercent, nullptr, 10, 1000},
    {"skip_only_read", nullptr, &ReaderSettings::SkipOnlyRead, 0, 0},
    {"auto_advance_delay_ms", &ReaderSettings::AutoAdvanceBaseMs, nullptr, 0, 60000},
    {"auto_advance_ms_per_char", &ReaderSettings::AutoAdvancePerCharMs, nullptr, 0, 10000},
};

std::optional<int> ParseNumber(std::string_view text, int min, int max)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<bool> ParseFlag(std::string_view text)
{
    for (std::string_view yes : {"true", "yes", "on", "1"})
        if (text == yes) return true;
    for (std::string_view no : {"false", "no", "off", "0"})
        if (text == no) return false;
    return std::nullopt;
}

// At most SettingsFile::kMaxBytes + 1 bytes: enough to tell that a file is too large.
std::optional<std::string> ReadBounded(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(SettingsFile::kMaxBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) return std::nullopt;
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

}  // namespace

ReaderSettingsStore::ReaderSettingsStore(std::string path, Warn warn)
    : m_path(std::move(path)), m_warn(std::move(warn))
{
    Load();
}

std::string ReaderSettingsStore::DefaultPath()
{
    const std::string config = UserFolder(UserFolderKind::Config);
    return config.empty() ? config : config + "/kelvanovelrun/settings.ini";
}

void ReaderSettingsStore::Load()
{
    std::error_code missing;
    if (m_path.empty() || !fs::exists(m_path, missing)) return;
    const std::optional<std::string> text = ReadBounded(m_path);
    if (!text) {
        m_warn(m_path + ": cannot be read; the default settings are used");
        return;
    }
    SettingsParseResult parsed = SettingsFile::Parse(*text);
    if (!parsed.File) {
        m_damaged = true;
        m_warn(m_path + ": " + parsed.Error + "; ignored, the default settings are used");
        return;
    }
    for (const std::string& note : parsed.Notes) m_warn(m_path + ": " + note + " (left as it is)");
    m_file = std::move(*parsed.File);
    for (const Field& field : kFields) {
        const std::optional<SettingsFile::Entry> entry = m_file.Get(field.Key);
        if (!entry) continue;
        bool good = false;
        if (field.Number) {
            const std::optional<int> value = ParseNumber(entry->Value, field.Min, field.Max);
            if (value) m_settings.*field.Number = *value;
            good = value.has_value();
        } else {
            const std::optional<bool> value = ParseFlag(entry->Value);
            if (value) m_settings.*field.Flag = *value;
            good = value.has_value();
        }
        if (!good) {
            const std::string expected = field.Number ? "a whole number from " + std::to_string(field.Min) +
                                                            " to " + std::to_string(field.Max)
                                                      : std::string("true or false");
            m_warn(m_path + ": line " + std::to_string(entry->Line) + ": " + field.Key + " = \"" +
                   entry->Value + "\" is not " + expected + "; the default is used");
        }
    }
}

void ReaderSettingsStore::Change(const ReaderSettings& settings)
{
    if (settings == m_settings) return;
    const ReaderSettings before = m_settings;
    m_settings = settings;
    if (m_path.empty()) return;
    // Only the keys that changed are written: a line the reader wrote some other way, or
    // with a value this version can't read, stays as it is until its setting changes.
    for (const Field& field : kFields) {
        if (field.Number && before.*field.Number != settings.*field.Number)
            m_file.Set(field.Key, std::to_string(settings.*field.Number));
        if (field.Flag && before.*field.Flag != settings.*field.Flag)
            m_file.Set(field.Key, settings.*field.Flag ? "true" : "false");
    }
    Save();
}

void ReaderSettingsStore::Save()
{
    std::error_code error;
    if (m_damaged) {
        // The damaged file is kept beside the new one, not overwritten.
        const std::string aside = m_path + ".damaged";
        fs::rename(m_path, aside, error);
        if (error) {
            m_warn(m_path + ": the changed settings are not saved: the damaged file cannot be moved aside (" +
                   error.message() + ")");
            return;
        }
        m_warn(m_path + ": the damaged file is kept as " + aside);
        m_damaged = false;
    }
    fs::create_directories(fs::path(m_path).parent_path(), error);
    const std::string text = m_file.Text();
    std::string failure;
    if (!WriteFileAtomically(m_path, std::vector<uint8_t>(text.begin(), text.end()), failure))
        m_warn(m_path + ": the settings cannot be saved: " + failure);
}

}  // namespace kelva
