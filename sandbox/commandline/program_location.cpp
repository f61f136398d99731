// The default module: the build's module file name beside the running program.
#include "sandbox/commandline/program_location.h"

namespace sandbox::commandline {

std::filesystem::path defaultModulePath() {
    const auto program = runningProgramPath();
    if (program.empty()) return KEYVANE_MODULE_FILE_NAME;
    return program.parent_path() / KEYVANE_MODULE_FILE_NAME;
}

}  // namespace sandbox::commandline
