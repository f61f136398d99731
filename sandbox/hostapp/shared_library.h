// A dynamic library opened by path, the system's way: dlopen on Linux (shared_library_posix.cpp),
// LoadLibrary on Windows (shared_library_windows.cpp).
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace sandbox {

class SharedLibrary {
public:
    // Opens the library with every symbol resolved now and none shared with later libraries. Null,
    // and the system's reason in one line (without the path) in `reason`, if it cannot.
    static std::unique_ptr<SharedLibrary> open(const std::filesystem::path& path, std::string& reason);
    ~SharedLibrary();  // closes it
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    void* symbol(const char* name) const;  // the exported name's address, or null

private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace sandbox
