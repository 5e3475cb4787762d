// knovel build: a story source to a novel file; knovel decompile: the reverse.
#include <cstdio>

#include "Commands.h"
#include "StorySource.h"
#include "data/AtomicFile.h"

namespace kelva::knovel {

bool InputAndOutput(const Arguments& args, std::string& input, std::string& output)
{
    input.clear();
    output.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && output.empty()) {
            output = args[++i];
        } else if (input.empty() && args[i] != "-o") {
            input = args[i];
        } else {
            return false;
        }
    }
    return !input.empty() && !output.empty();
}

namespace {

bool WriteOutput(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::string error;
    if (WriteFileAtomically(path, bytes, error)) return true;
    Fail("cannot write " + path + ": " + error);
    return false;
}

}  // namespace

int RunBuild(const Arguments& args)
{
    std::string sourcePath, outputPath;
    if (!InputAndOutput(args, sourcePath, outputPath))
        return Fail("usage: knovel build SOURCE.yaml -o STORY.kne");
    auto source = ReadWholeFile(sourcePath);
    if (!source) return Fail("cannot read " + sourcePath);
    const std::vector<uint8_t>& bytes = source->Bytes();

    NovelFile novel;
    try {
        novel = ParseStorySource(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                 sourcePath);
    } catch (const StoryError& e) {
        return Fail(e.what());
    }
    // The whole file is made in memory first and replaces the output in one step, so a
    // failed build never leaves a partial novel file behind.
    return WriteOutput(outputPath, SaveNovelFile(novel)) ? 0 : 1;
}

int RunDecompile(const Arguments& args)
{
    std::string novelPath, outputPath;
    if (!InputAndOutput(args, novelPath, outputPath))
        return Fail("usage: knovel decompile STORY.kne -o SOURCE.yaml");
    LoadedNovel loaded;
    std::string error;
    if (!LoadNovelFile(novelPath, loaded, error)) return Fail(error);

    std::vector<std::string> notes;
    const std::string source = DecompileStory(loaded.Novel, &notes);
    if (loaded.Novel.Header.Version != kNovelFileVersion) {
        notes.push_back("the file is version " + std::to_string(loaded.Novel.Header.Version) +
                        "; building the source writes version 7");
    }
    if (loaded.TrailingBytes > 0) {
        notes.push_back(std::to_string(loaded.TrailingBytes) + " bytes after the item block are not kept");
    }
    for (const std::string& note : notes)
        std::fprintf(stderr, "knovel: %s: note: %s\n", novelPath.c_str(), note.c_str());
    return WriteOutput(outputPath, std::vector<uint8_t>(source.begin(), source.end())) ? 0 : 1;
}

}  // namespace kelva::knovel
