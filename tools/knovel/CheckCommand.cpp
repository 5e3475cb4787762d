// knovel check STORY [--data DIR] [--package FILE]
#include <cstdio>

#include "Commands.h"
#include "PackageFiles.h"
#include "StoryCheck.h"
#include "StorySource.h"
#include "data/ShiftJis.h"

namespace kelva::knovel {

namespace {

bool IsStorySourceName(const std::string& path)
{
    const std::string extension = LowerCaseAscii(std::filesystem::path(path).extension().string());
    return extension == ".yaml" || extension == ".yml";
}

// Where a finding stands in the story source it was built from.
SourcePlace PlaceInSource(const Finding& finding, const SourceMap& map)
{
    const auto at = [](const auto& places, int index) {
        return index >= 0 && static_cast<size_t>(index) < places.size() ? places[static_cast<size_t>(index)]
                                                                        : SourcePlace{};
    };
    if (finding.Part == StoryPart::Header) return map.Header;
    if (finding.Part == StoryPart::Counters) return at(map.Counters, finding.Index);
    if (finding.Index < 0 || static_cast<size_t>(finding.Index) >= map.Items.size()) return {};
    const SourceMap::ItemPlaces& places = map.Items[static_cast<size_t>(finding.Index)];
    const SourcePlace exact =
        finding.Line > 0 ? at(places.Lines, finding.Line - 1) : at(places.Links, finding.Slot);
    return exact.Line > 0 ? exact : places.Item;
}

// "story.yaml:LINE:COLUMN: error: message".
std::string FormatSourceFinding(const Finding& finding, const std::string& fileName, const SourceMap& map)
{
    const SourcePlace place = PlaceInSource(finding, map);
    std::string where = fileName;
    if (place.Line > 0) where += ":" + std::to_string(place.Line) + ":" + std::to_string(place.Column);
    return where + ": " + (finding.Level == Severity::Error ? "error" : "warning") + ": " + finding.Message;
}

}  // namespace

int RunCheck(const Arguments& args)
{
    const char* const usage = "usage: knovel check STORY.kne|SOURCE.yaml|GAME [--data DIR] [--package FILE]";
    std::string storyPath;
    AnyMedia media;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--data" || arg == "--package") && i + 1 < args.size()) {
            const std::string& value = args[++i];
            if (arg == "--data") {
                std::error_code error;
                if (!std::filesystem::is_directory(value, error)) return Fail(value + " is not a folder");
                media.Add(std::make_unique<DataFolderMedia>(value));
            } else {
                std::string error;
                auto package = PackageSource::Open(value, error);
                if (!package) return Fail(error);
                media.Add(std::make_unique<PackageMedia>(std::move(package)));
            }
        } else if (storyPath.empty() && !arg.empty() && arg[0] != '-') {
            storyPath = arg;
        } else {
            return Fail(usage);
        }
    }
    if (storyPath.empty()) return Fail(usage);

    LoadedNovel loaded;
    SourceMap map;
    const bool source = IsStorySourceName(storyPath);
    if (source) {
        auto file = ReadWholeFile(storyPath);
        if (!file) return Fail("cannot read " + storyPath);
        const std::vector<uint8_t>& bytes = file->Bytes();
        try {
            loaded.Novel = ParseStorySource(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), storyPath, &map);
        } catch (const StoryError& e) {
            return Fail(e.what());
        }
    } else {
        std::string error;
        if (!LoadNovelFile(storyPath, loaded, error)) return Fail(error);
        // The media of a packed story are looked for in its own package first, as the
        // player does.
        if (loaded.FromPackage) {
            auto package = PackageSource::Open(storyPath, error);
            if (!package) return Fail(error);
            media.Add(std::make_unique<PackageMedia>(std::move(package)));
        }
    }

    int errors = 0;
    int warnings = 0;
    for (const Finding& finding : CheckStory(loaded.Novel, media.Empty() ? nullptr : &media)) {
        const std::string line =
            source ? FormatSourceFinding(finding, storyPath, map) : FormatFinding(finding);
        std::printf("%s\n", line.c_str());
        ++(finding.Level == Severity::Error ? errors : warnings);
    }
    std::fflush(stdout);
    std::fprintf(stderr, "knovel: %s: %d error%s, %d warning%s%s\n", storyPath.c_str(), errors,
                 errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s",
                 media.Empty() ? " (media not checked: no --data or --package)" : "");
    return errors > 0 ? 1 : 0;
}

}  // namespace kelva::knovel
