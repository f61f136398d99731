// The session's folders and the default module location.
#include "workplace.h"

#include <system_error>

namespace sandbox::app {

bool enterHome(const std::filesystem::path& home, std::string& error)
{
    std::error_code failure;
    std::filesystem::create_directories(home / "bakkesmod" / "cfg", failure);
    if (failure) {
        error = "cannot prepare the home folder " + home.string() + ": " + failure.message();
        return false;
    }
    std::filesystem::current_path(home, failure);
    if (failure) {
        error = "cannot enter the home folder " + home.string() + ": " + failure.message();
        return false;
    }
    return true;
}

std::filesystem::path defaultModulePath()
{
    std::error_code failure;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", failure);
    if (failure) return "Keyvane.so";
    return program.parent_path() / "Keyvane.so";
}

std::filesystem::path resolveFrom(const std::filesystem::path& startDirectory,
                                  const std::filesystem::path& path)
{
    if (path.is_absolute()) return path.lexically_normal();
    return (startDirectory / path).lexically_normal();
}

}  // namespace sandbox::app
