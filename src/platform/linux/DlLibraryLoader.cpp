#include "platform/linux/DlLibraryLoader.h"

#include <dlfcn.h>

namespace kelva {

namespace {

class DlLibrary final : public DynamicLibrary {
public:
    explicit DlLibrary(void* handle) : m_handle(handle) {}
    ~DlLibrary() override { dlclose(m_handle); }
    DlLibrary(const DlLibrary&) = delete;
    DlLibrary& operator=(const DlLibrary&) = delete;

    void* Symbol(const std::string& name) override { return dlsym(m_handle, name.c_str()); }

private:
    void* m_handle;
};

}  // namespace

std::unique_ptr<DynamicLibrary> DlLibraryLoader::Load(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    return std::make_unique<DlLibrary>(handle);
}

}  // namespace kelva
