// The session's folders and the default module location.
#include "workplace.h"

#include <system_error>

#include "program_location.h"

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
    const auto program = runningProgramPath();
    if (program.empty()) return KEYVANE_MODULE_FILE_NAME;
    return program.parent_path() / KEYVANE_MODULE_FILE_NAME;
}

std::filesystem::path resolveFrom(const std::filesystem::path& startDirectory,
                                  const std::filesystem::path& path)
{
    if (path.is_absolute()) return path.lexically_normal();
    return (startDirectory / path).lexically_normal();
}

}  // namespace sandbox::app
