// Command lines of the story's script: splitting into tokens and reading their words,
// numbers and effect names.
#include "FuzzSupport.h"
#include "data/CommandStrings.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CommandTokens tokens;
    ParseCommand(fuzz::Text(data, size), tokens);
    if (tokens.count < 1 || tokens.count > 8) fuzz::Broken("token count outside 1..8");
    const CommandWord word = LookupCommandWord(tokens.Token(1));
    CommandWordText(word);
    MinimumTokenCount(word);
    for (int n = 0; n <= 9; ++n) {
        const std::string& token = tokens.Token(n);
        try {
            TokenToInt(token);
        } catch (const NumberConversionError&) {
        }
        try {
            EffectTokenNumber(token);
        } catch (const NumberConversionError&) {
        }
    }
    return 0;
}
