// Where the running program's own executable file is: /proc/self/exe on Linux
// (program_location_posix.cpp), GetModuleFileName on Windows (program_location_windows.cpp).
#pragma once

#include <filesystem>

namespace sandbox::commandline {

std::filesystem::path runningProgramPath();  // empty if the system cannot say

// The plugin module in the folder of the running program; the build puts both in one folder.
std::filesystem::path defaultModulePath();

}  // namespace sandbox::commandline
