#include "platform/linux/PrivateTemporaryFolder.h"

#include <stdlib.h>

#include <filesystem>

namespace kelva {

PrivateTemporaryFolder::~PrivateTemporaryFolder()
{
    if (m_path.empty()) return;
    std::error_code ignored;  // nothing more can be done about a folder that stays
    std::filesystem::remove_all(m_path, ignored);
}

const std::string& PrivateTemporaryFolder::Path()
{
    if (!m_path.empty()) return m_path;
    // mkdtemp makes the folder with mode 0700 under a name no one else can have taken.
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/kelvanovelrun-XXXXXX";
    if (mkdtemp(pattern.data())) m_path = pattern;
    return m_path;
}

}  // namespace kelva
