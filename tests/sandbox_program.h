// Running the keyvane-sandbox program from a test: its exit status and what it printed, plus a
// scratch folder that disappears with the test.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sandbox/commandline/user_home.h"
#include "support/program_run.h"
#include "support/scratch_folder.h"

namespace sandbox_test {

using testsupport::ProgramRun;
using testsupport::ScratchFolder;

inline std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// Where a run without --home keeps its session, for a run in folder `in`: stateFolderIn(in) /
// "keyvane-sandbox".
inline std::filesystem::path stateFolderIn(const std::filesystem::path& in) { return in / "state"; }

// Runs the program with these arguments in folder `in`, standard input from `input` (a file) or
// from the null device.
inline ProgramRun runSandbox(const std::vector<std::string>& arguments, const std::filesystem::path& in,
                             const std::filesystem::path& input = {}) {
    // A run without --home keeps its session in the user's state folder: here one inside `in`, so
    // a test never touches the real one.
    testsupport::setEnvironment(sandbox::commandline::userStateVariable(), stateFolderIn(in).string());
    return testsupport::runProgram(KEYVANE_SANDBOX_PROGRAM, arguments, in, input);
}

// Runs a bash script in folder `in` with the program's path as "$1" and the arguments after it, the
// whole killed after `seconds` (coreutils' timeout), so a program that hangs fails the test instead of
// stopping it. Linux only: scripts set limits, pipes and signals around the program.
inline ProgramRun runSandboxInShell(const std::string& script, const std::vector<std::string>& arguments,
                                    const std::filesystem::path& in, int seconds = 60) {
    std::vector<std::string> words{"-s",   "KILL", std::to_string(seconds), "bash", "-c",
                                   script, "bash", KEYVANE_SANDBOX_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    testsupport::setEnvironment(sandbox::commandline::userStateVariable(), stateFolderIn(in).string());
    return testsupport::runProgram("timeout", words, in);
}

}  // namespace sandbox_test
