#pragma once

#include "platform/LibraryLoader.h"

namespace kelva {

// dlopen/dlsym. The library is unloaded when its DynamicLibrary is destroyed.
class DlLibraryLoader final : public LibraryLoader {
public:
    std::unique_ptr<DynamicLibrary> Load(const std::string& path) override;
};

}  // namespace kelva
