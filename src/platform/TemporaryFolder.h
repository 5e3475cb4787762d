// A folder of this run's own, for files that must lie on disk a while (a sound taken
// from the package, for a decoder that reads only files).
#pragma once

#include <string>

namespace kelva {

class TemporaryFolder {
public:
    virtual ~TemporaryFolder() = default;
    // The folder's path, made at the first call, so a run that needs none makes none;
    // empty when it can't be made (asked again, it tries again). No other user can
    // enter it, so a file in it can be neither read nor replaced by them.
    virtual const std::string& Path() = 0;
};

}  // namespace kelva
