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

// Prints "knovel: " and the message (UTF-8) to stderr; returns 1.
int Fail(const std::string& message);
// CP932 text from the engine (its error messages), for the terminal.
std::string ForTerminal(const std::string& cp932);

}  // namespace kelva::knovel
