#include "Commands.h"
#include "data/AtomicFile.h"
#include "data/Crypt.h"
#include "data/Stream.h"

namespace kelva::knovel {

int RunCrypt(const Arguments& args)
{
    if (args.size() != 2) return Fail("usage: knovel crypt IN OUT");
    const auto input = ReadWholeFile(args[0]);
    if (!input) return Fail("cannot read " + args[0]);
    const auto output = CryptStream(*input);
    std::string error;
    if (!WriteFileAtomically(args[1], output->Bytes(), error))
        return Fail("cannot write " + args[1] + ": " + error);
    return 0;
}

}  // namespace kelva::knovel
