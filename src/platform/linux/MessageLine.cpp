#include "platform/linux/MessageLine.h"

#include <cstdio>

#include "platform/TextCodec.h"

namespace kelva {

void PrintMessageLine(std::string_view caption, std::string_view text)
{
    std::fprintf(stderr, "%s: %s\n", ToDisplayText(caption).c_str(), ToDisplayText(text).c_str());
}

}  // namespace kelva
