// Shared libraries loaded by name at run time.
#pragma once

#include <memory>
#include <string>

namespace kelva {

class DynamicLibrary {
public:
    virtual ~DynamicLibrary() = default;
    // The address of an exported symbol, or nullptr when the library lacks it.
    virtual void* Symbol(const std::string& name) = 0;
};

class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    // `path` with a slash is a file; without one the system's search path is used.
    // nullptr when the library can't be loaded.
    virtual std::unique_ptr<DynamicLibrary> Load(const std::string& path) = 0;
};

}  // namespace kelva
