// runWithStreams on Linux: one shell command line with every word quoted.
#include "support/program_run.h"

#include <sys/wait.h>

#include <cstdlib>

namespace testsupport {

const char* const kProgramLineEnd = "\n";

namespace {

std::string shellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

void setEnvironment(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }

int runWithStreams(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& in, const std::filesystem::path& input,
                   const std::filesystem::path& outFile, const std::filesystem::path& errFile) {
    std::string command = "cd " + shellQuoted(in.string()) + " && " + shellQuoted(program.string());
    for (const auto& argument : arguments) command += " " + shellQuoted(argument);
    command += " <" + shellQuoted(input.empty() ? "/dev/null" : input.string()) + " >" + shellQuoted(outFile.string()) +
               " 2>" + shellQuoted(errFile.string());
    const int raw = std::system(command.c_str());
    return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace testsupport
