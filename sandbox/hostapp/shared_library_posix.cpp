// SharedLibrary on Linux: dlopen, dlsym, dlclose.
#include "sandbox/hostapp/shared_library.h"

#include <dlfcn.h>

namespace sandbox {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::filesystem::path& path, std::string& reason) {
    // RTLD_LOCAL: the module's own copies of its libraries must not leak into later modules.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle) return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
    // The loader names the file itself; keep only its reason.
    const char* loaderMessage = dlerror();
    reason = loaderMessage ? loaderMessage : "";
    if (const std::string prefix = path.string() + ": "; reason.starts_with(prefix)) reason.erase(0, prefix.size());
    if (reason.empty()) reason = "unknown";
    return nullptr;
}

SharedLibrary::~SharedLibrary() { dlclose(handle_); }

void* SharedLibrary::symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace sandbox
