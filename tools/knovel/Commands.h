// The subcommands of the authoring tool. Each takes the arguments after its name and
// returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace kelva::knovel {

using Arguments = std::vector<std::string>;

struct Command {
    const char* Name;
    const char* Usage;  // arguments, as shown by "knovel help"
    const char* Summary;
    int (*Run)(const Arguments& args);
};

int RunCrypt(const Arguments& args);
int RunPack(const Arguments& args);
int RunList(const Arguments& args);
int RunUnpack(const Arguments& args);
int RunBuild(const Arguments& args);
int RunDecompile(const Arguments& args);
int RunDump(const Arguments& args);
int RunCheck(const Arguments& args);
int RunGraph(const Arguments& args);

// Splits "INPUT -o OUTPUT" (in any order); false unless both are given exactly once.
bool InputAndOutput(const Arguments& args, std::string& input, std::string& output);

// Prints "knovel: " and the message (UTF-8) to stderr; returns 1.
int Fail(const std::string& message);
// CP932 text from the engine (its error messages), for the terminal.
std::string ForTerminal(const std::string& cp932);

}  // namespace kelva::knovel
