// knovel check STORY.kne [--data DIR] [--package FILE]
#include <cstdio>

#include "Commands.h"
#include "PackageFiles.h"
#include "StoryCheck.h"

namespace kelva::knovel {

int RunCheck(const Arguments& args)
{
    const char* const usage = "usage: knovel check STORY.kne [--data DIR] [--package FILE]";
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
    std::string error;
    if (!LoadNovelFile(storyPath, loaded, error)) return Fail(error);

    int errors = 0;
    int warnings = 0;
    for (const Finding& finding : CheckStory(loaded.Novel, media.Empty() ? nullptr : &media)) {
        std::printf("%s\n", FormatFinding(finding).c_str());
        ++(finding.Level == Severity::Error ? errors : warnings);
    }
    std::fflush(stdout);
    std::fprintf(stderr, "knovel: %s: %d error%s, %d warning%s%s\n", storyPath.c_str(), errors,
                 errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s",
                 media.Empty() ? " (media not checked: no --data or --package)" : "");
    return errors > 0 ? 1 : 0;
}

}  // namespace kelva::knovel
