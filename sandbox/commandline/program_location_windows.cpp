// runningProgramPath on Windows: the file the process's main module was loaded from.
#include "sandbox/commandline/program_location.h"

#include <windows.h>

#include <vector>

namespace sandbox::commandline {

std::filesystem::path runningProgramPath() {
    // Long paths need a larger buffer than MAX_PATH: grow until the name fits.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return {};
        if (length < size) return std::filesystem::path(std::wstring(buffer.data(), length));
    }
    return {};
}

}  // namespace sandbox::commandline
