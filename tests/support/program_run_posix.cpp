// runProgram on Linux: one shell command line with every word quoted, output into scratch files.
#include "support/program_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testsupport {
namespace {

std::string shellQuoted(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string takeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    std::filesystem::remove(file);
    return text.str();
}

}  // namespace

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& in, const std::filesystem::path& input)
{
    std::string command = "cd " + shellQuoted(in.string()) + " && " + shellQuoted(program.string());
    for (const auto& argument : arguments) command += " " + shellQuoted(argument);
    const auto outFile = in / ".program-out";
    const auto errFile = in / ".program-err";
    command += " <" + shellQuoted(input.empty() ? "/dev/null" : input.string()) + " >" +
               shellQuoted(outFile.string()) + " 2>" + shellQuoted(errFile.string());
    const int raw = std::system(command.c_str());
    ProgramRun run;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = takeFile(outFile);
    run.err = takeFile(errFile);
    return run;
}

}  // namespace testsupport
