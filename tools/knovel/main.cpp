// knovel: the authoring tool. "knovel help" lists its commands.
#include <cstdio>
#include <cstring>
#include <iterator>

#include "Commands.h"

namespace kelva::knovel {
namespace {

const Command kCommands[] = {
    {"crypt", "IN OUT", "scramble or unscramble a file with the package key", RunCrypt},
    {"pack", "DATA_DIR STORY.kne -o OUT [--exe PLAYER]",
     "pack a story and its media into a package or a game", RunPack},
    {"list", "PACKAGE_OR_GAME", "list the entries of a package: size, offset, name", RunList},
    {"unpack", "PACKAGE_OR_GAME -o DIR", "extract every entry of a package (the story unscrambled)",
     RunUnpack},
    {"build", "SOURCE.yaml -o STORY.kne", "build a novel file from a story source", RunBuild},
    {"decompile", "STORY.kne -o SOURCE.yaml", "write the story source of a novel file", RunDecompile},
    {"dump", "FILE", "describe a novel file (or a package, game or bookmark file)", RunDump},
    {"check", "STORY [--data DIR | --package FILE]",
     "report faults in a story (source, novel file or game); exit 1 on errors", RunCheck},
    {"graph", "STORY.kne -o STORY.dot|svg|png", "draw the items and links (svg and png through Graphviz)",
     RunGraph},
};

int Help()
{
    std::puts("Usage: knovel COMMAND [ARGS...]\n\ncommands:");
    for (const Command& command : kCommands) {
        std::printf("  %-10s %-40s %s\n", command.Name, command.Usage, command.Summary);
    }
    return 0;
}

}  // namespace
}  // namespace kelva::knovel

int main(int argc, char** argv)
{
    using namespace kelva::knovel;
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        const int status = Help();
        return argc < 2 ? 2 : status;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.Name) == 0) return command.Run(Arguments(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "knovel: unknown command '%s' (see 'knovel help')\n", argv[1]);
    return 2;
}
