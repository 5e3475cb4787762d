#pragma once

#include "platform/TemporaryFolder.h"

namespace kelva {

// A folder of mode 0700 in $TMPDIR (or /tmp), named kelvanovelrun-XXXXXX; removed, with
// whatever is still in it, when this goes.
class PrivateTemporaryFolder final : public TemporaryFolder {
public:
    PrivateTemporaryFolder() = default;
    ~PrivateTemporaryFolder() override;
    PrivateTemporaryFolder(const PrivateTemporaryFolder&) = delete;
    PrivateTemporaryFolder& operator=(const PrivateTemporaryFolder&) = delete;

    const std::string& Path() override;

private:
    std::string m_path;
};

}  // namespace kelva
