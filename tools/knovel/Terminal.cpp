#include <cstdio>

#include "Commands.h"
#include "platform/TextCodec.h"

namespace kelva::knovel {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "knovel: %s\n", message.c_str());
    return 1;
}

std::string ForTerminal(const std::string& cp932)
{
    return Cp932ToUtf8(cp932);
}

}  // namespace kelva::knovel
