// knovel check: a linter for authors. It reports what the player would do differently from
// what the author most likely meant: links and counters that lead nowhere, command lines
// the player ignores or fails on, media it can't find, items no reading can reach.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NovelFile.h"

namespace kelva::knovel {

class PackageSource;

// Where the media files a story names are looked for.
class MediaLookup {
public:
    virtual ~MediaLookup() = default;
    // Whether the file `name` (CP932, as the story writes it, "\" between folders) exists.
    virtual bool Exists(std::string_view name) const = 0;
};

// Files below a data folder. "\" and "/" both separate folders; a component that doesn't
// exist as written is matched ignoring the case of ASCII letters, as games come from a
// file system that ignores case.
class DataFolderMedia final : public MediaLookup {
public:
    explicit DataFolderMedia(std::filesystem::path root) : m_root(std::move(root)) {}
    bool Exists(std::string_view name) const override;

private:
    std::filesystem::path m_root;
};

// Entries of a package (names compared as the player does, ASCII case ignored).
class PackageMedia final : public MediaLookup {
public:
    explicit PackageMedia(std::unique_ptr<PackageSource> package);
    ~PackageMedia() override;
    bool Exists(std::string_view name) const override;

private:
    std::unique_ptr<PackageSource> m_package;
};

// Found when any of its lookups finds it, as the player falls back from the package to the
// data folder.
class AnyMedia final : public MediaLookup {
public:
    void Add(std::unique_ptr<MediaLookup> lookup) { m_lookups.push_back(std::move(lookup)); }
    bool Exists(std::string_view name) const override;
    bool Empty() const { return m_lookups.empty(); }

private:
    std::vector<std::unique_ptr<MediaLookup>> m_lookups;
};

enum class Severity { Warning, Error };
enum class StoryPart { Header, Counters, Item };

struct Finding {
    std::string Where;  // the item's name (UTF-8), or "(header)" or "(counters)"
    int Line = 0;       // 1-based line of the item's text; 0 for its links, the header, counters
    Severity Level = Severity::Error;
    std::string Message;  // UTF-8
    StoryPart Part = StoryPart::Item;
    int Index = -1;  // the item's or the counter's index; -1 for the header
    int Slot = -1;   // the link slot (0-7) a finding on an item's links is about, or -1
};

// Every finding, the header's first, then the counters', then item by item in file order.
// Media files are checked only when `media` is given.
std::vector<Finding> CheckStory(const NovelFile& novel, const MediaLookup* media);

// "ITEM:LINE: error: message" (or "warning").
std::string FormatFinding(const Finding& finding);

}  // namespace kelva::knovel
