// runningProgramPath on Linux: the kernel's link to the executable.
#include "sandbox/commandline/program_location.h"

#include <system_error>

namespace sandbox::commandline {

std::filesystem::path runningProgramPath() {
    std::error_code failure;
    auto program = std::filesystem::read_symlink("/proc/self/exe", failure);
    return failure ? std::filesystem::path() : program;
}

}  // namespace sandbox::commandline
