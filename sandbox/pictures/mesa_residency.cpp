// Finds Mesa's libraries among the loaded ones and takes a reference to each that is never dropped.
#include "sandbox/pictures/mesa_residency.h"

#include <cstring>

#include <dlfcn.h>
#include <link.h>

namespace sandbox::pictures {
namespace {

bool isMesaLibrary(const char* path) {
    const char* name = std::strrchr(path, '/');
    name = name ? name + 1 : path;
    return std::strstr(name, "_dri.so") || std::strncmp(name, "libEGL_mesa", 11) == 0 ||
           std::strncmp(name, "libGLX_mesa", 11) == 0 || std::strncmp(name, "libglapi", 8) == 0 ||
           std::strncmp(name, "libgallium", 10) == 0;
}

}  // namespace

void keepMesaLoadedToTheEnd() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            if (info->dlpi_name && isMesaLibrary(info->dlpi_name)) {
                // RTLD_NOLOAD only finds what is already loaded; RTLD_NODELETE keeps it there.
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

}  // namespace sandbox::pictures
